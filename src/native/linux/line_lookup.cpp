// The line lookup on Linux: the DWARF line tables of the loaded objects, read by elfutils'
// libdw from the files themselves, never from the network.
#include "native/line_lookup.h"

#include <elfutils/libdwfl.h>
#include <link.h>
#include <unistd.h>

#include <mutex>
#include <optional>
#include <unordered_map>

namespace vantrel::native {
namespace {

struct SourceLine {
    std::string file;
    int line;
};

// The separate debug-info files of system libraries are not looked for: that lookup
// would also ask a debuginfod server whenever DEBUGINFOD_URLS is set.
int no_separate_debuginfo(Dwfl_Module *, void **, const char *, Dwarf_Addr, const char *, const char *, GElf_Word,
                          char **) {
    return -1;
}

const Dwfl_Callbacks callbacks = {
    .find_elf = dwfl_linux_proc_find_elf,
    .find_debuginfo = no_separate_debuginfo,
    .section_address = nullptr,
    .debuginfo_path = nullptr,
};

// One session for the process: the objects it knows are refreshed only when the loader's
// counts show a library loaded or unloaded since; lines found are kept.
class LineTables {
public:
    void append(const Frames &frames, std::string &out) {
        std::lock_guard lock(mutex_);
        refresh();
        for (std::uintptr_t pc : frames) {
            const std::optional<SourceLine> &found = lookup(pc);
            if (found) {
                out += "\n  ";
                out += found->file;
                out += " : ";
                out += std::to_string(found->line);
            }
        }
    }

private:
    struct LoaderCounts {
        unsigned long long adds = 0, subs = 0;
        bool operator==(const LoaderCounts &) const = default;
    };

    static LoaderCounts loader_counts() {
        LoaderCounts counts;
        dl_iterate_phdr(
            [](dl_phdr_info *info, size_t size, void *data) {
                if (size >= offsetof(dl_phdr_info, dlpi_subs) + sizeof info->dlpi_subs) {
                    *static_cast<LoaderCounts *>(data) = {info->dlpi_adds, info->dlpi_subs};
                }
                return 1;
            },
            &counts);
        return counts;
    }

    void refresh() {
        const LoaderCounts counts = loader_counts();
        if (session_ && counts == counts_) {
            return;
        }
        if (!session_) {
            session_ = dwfl_begin(&callbacks);
        }
        if (!session_) {
            return;
        }
        dwfl_report_begin(session_);
        dwfl_linux_proc_report(session_, getpid());
        dwfl_report_end(session_, nullptr, nullptr);
        counts_ = counts;
        memo_.clear();
    }

    const std::optional<SourceLine> &lookup(std::uintptr_t pc) {
        auto [entry, fresh] = memo_.try_emplace(pc);
        if (fresh && session_) {
            entry->second = read_line(pc);
        }
        return entry->second;
    }

    std::optional<SourceLine> read_line(std::uintptr_t pc) {
        Dwfl_Module *module = dwfl_addrmodule(session_, pc);
        Dwfl_Line *record = module ? dwfl_module_getsrc(module, pc) : nullptr;
        int line = 0;
        const char *file = record ? dwfl_lineinfo(record, nullptr, &line, nullptr, nullptr, nullptr) : nullptr;
        if (!file) {
            return std::nullopt;
        }
        SourceLine found{file, line};
        if (file[0] != '/') {
            if (const char *directory = dwfl_line_comp_dir(record)) {
                found.file = std::string(directory) + "/" + file;
            }
        }
        return found;
    }

    std::mutex mutex_;
    Dwfl *session_ = nullptr;
    LoaderCounts counts_;
    std::unordered_map<std::uintptr_t, std::optional<SourceLine>> memo_;
};

}  // namespace

void append_source_lines(const Frames &frames, std::string &out) {
    // Never destroyed: translations may run while the process exits.
    static LineTables *tables = new LineTables;
    tables->append(frames, out);
}

}  // namespace vantrel::native
