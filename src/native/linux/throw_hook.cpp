// The throw hook on Linux: libstdc++'s __cxa_throw and std::rethrow_exception enter the
// unwinder through libstdc++'s own relocation slot for _Unwind_RaiseException, and
// libstdc++ frees every thrown object through its own slot for __cxa_free_exception.  We
// write our hooks into those slots and chain to what they held.  `throw;` enters through
// _Unwind_Resume_or_Rethrow instead; as a rethrow it is never observed, so that slot is
// left alone.
#include "native/throw_hook.h"

#include <dlfcn.h>
#include <elf.h>
#include <link.h>
#include <sys/mman.h>
#include <unistd.h>
#include <unwind.h>

#include <algorithm>
#include <cstring>

namespace vantrel::native {
namespace {

// The Itanium C++ ABI's header in front of every thrown object (its unwindHeader is last,
// the object follows it).
struct CxaException {
    std::type_info *exceptionType;
    void (*exceptionDestructor)(void *);
    void (*unexpectedHandler)();
    void (*terminateHandler)();
    CxaException *nextException;
    int handlerCount;
    int handlerSwitchValue;
    const unsigned char *actionRecord;
    const unsigned char *languageSpecificData;
    _Unwind_Ptr catchTemp;
    void *adjustedPtr;
    _Unwind_Exception unwindHeader;
};

// "GNUCC++\0": a primary throw.  ("GNUCC++\x01", a dependent exception, is a rethrow.)
constexpr _Unwind_Exception_Class primary_cxx_exception = 0x474E5543432B2B00;

using RaiseException = _Unwind_Reason_Code (*)(_Unwind_Exception *);
using FreeException = void (*)(void *);

ThrowObserver throw_observer = nullptr;
FreeObserver free_observer = nullptr;
RaiseException next_raise = nullptr;
FreeException next_free = nullptr;
std::uintptr_t runtime_begin = 0;
std::uintptr_t runtime_end = 0;
thread_local bool observing = false;

void observe(_Unwind_Exception *exception) {
    if (exception->exception_class != primary_cxx_exception || observing) {
        return;
    }
    observing = true;
    const auto *header = reinterpret_cast<const CxaException *>(exception + 1) - 1;
    throw_observer(exception + 1, header->exceptionType);
    observing = false;
}

// Not noexcept, and nothing with a destructor around the call: the exception unwinds
// through this frame.
_Unwind_Reason_Code raise_hook(_Unwind_Exception *exception) {
    observe(exception);
    return next_raise(exception);
}

void free_hook(void *object) {
    free_observer(object);
    next_free(object);
}

// Where libstdc++ lies in memory and where its relocation tables are.
struct Runtime {
    ElfW(Addr) base = 0;
    const ElfW(Dyn) *dynamic = nullptr;
    std::uintptr_t begin = UINTPTR_MAX, end = 0;
    std::uintptr_t relro_begin = 0, relro_end = 0;
};

int find_runtime(dl_phdr_info *info, size_t, void *data) {
    if (!info->dlpi_name || !std::strstr(info->dlpi_name, "/libstdc++.so.6")) {
        return 0;
    }
    auto *runtime = static_cast<Runtime *>(data);
    runtime->base = info->dlpi_addr;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr) &segment = info->dlpi_phdr[i];
        const std::uintptr_t start = info->dlpi_addr + segment.p_vaddr;
        if (segment.p_type == PT_LOAD) {
            runtime->begin = std::min(runtime->begin, start);
            runtime->end = std::max(runtime->end, start + segment.p_memsz);
        } else if (segment.p_type == PT_DYNAMIC) {
            runtime->dynamic = reinterpret_cast<const ElfW(Dyn) *>(start);
        } else if (segment.p_type == PT_GNU_RELRO) {
            runtime->relro_begin = start;
            runtime->relro_end = start + segment.p_memsz;
        }
    }
    return 1;
}

// The loader has made some dynamic entries absolute and left others file-relative.
std::uintptr_t dynamic_address(const Runtime &runtime, ElfW(Addr) value) {
    return value >= runtime.begin && value < runtime.end ? value : runtime.base + value;
}

bool write_slot(const Runtime &runtime, void **slot, void *value) {
    const auto address = reinterpret_cast<std::uintptr_t>(slot);
    const bool read_only = address >= runtime.relro_begin && address < runtime.relro_end;
    const auto page_size = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    void *page = reinterpret_cast<void *>(address & ~(page_size - 1));
    if (read_only && mprotect(page, page_size, PROT_READ | PROT_WRITE) != 0) {
        return false;
    }
    __atomic_store_n(slot, value, __ATOMIC_RELEASE);
    if (read_only) {
        mprotect(page, page_size, PROT_READ);
    }
    return true;
}

// A slot to take over: the symbol, the version of the real function, our hook, and where
// to keep what the slot held before.
struct Hook {
    const char *symbol;
    const char *version;
    void *hook;
    void **next;
};

// Points every JUMP_SLOT and GLOB_DAT relocation of the hooked symbols in libstdc++ at our
// hooks; true if each symbol is hooked at least once.
bool hook_slots(const Runtime &runtime, const Hook (&hooks)[2]) {
    const ElfW(Sym) *symbols = nullptr;
    const char *names = nullptr;
    const ElfW(Rela) *tables[2] = {nullptr, nullptr};
    size_t sizes[2] = {0, 0};
    for (const ElfW(Dyn) *entry = runtime.dynamic; entry->d_tag != DT_NULL; ++entry) {
        const std::uintptr_t value = entry->d_un.d_ptr;
        switch (entry->d_tag) {
            case DT_SYMTAB: symbols = reinterpret_cast<const ElfW(Sym) *>(dynamic_address(runtime, value)); break;
            case DT_STRTAB: names = reinterpret_cast<const char *>(dynamic_address(runtime, value)); break;
            case DT_JMPREL: tables[0] = reinterpret_cast<const ElfW(Rela) *>(dynamic_address(runtime, value)); break;
            case DT_PLTRELSZ: sizes[0] = entry->d_un.d_val; break;
            case DT_RELA: tables[1] = reinterpret_cast<const ElfW(Rela) *>(dynamic_address(runtime, value)); break;
            case DT_RELASZ: sizes[1] = entry->d_un.d_val; break;
        }
    }
    if (!symbols || !names) {
        return false;
    }
    bool hooked[2] = {false, false};
    for (int t = 0; t < 2; ++t) {
        for (size_t i = 0; tables[t] && i < sizes[t] / sizeof(ElfW(Rela)); ++i) {
            const ElfW(Rela) &relocation = tables[t][i];
            const auto type = ELF64_R_TYPE(relocation.r_info);
            if (type != R_X86_64_JUMP_SLOT && type != R_X86_64_GLOB_DAT) {
                continue;
            }
            const char *name = names + symbols[ELF64_R_SYM(relocation.r_info)].st_name;
            for (int h = 0; h < 2; ++h) {
                const Hook &hook = hooks[h];
                if (std::strcmp(name, hook.symbol) != 0) {
                    continue;
                }
                auto **slot = reinterpret_cast<void **>(runtime.base + relocation.r_offset);
                void *current = __atomic_load_n(slot, __ATOMIC_ACQUIRE);
                if (current == hook.hook) {
                    hooked[h] = true;
                    continue;
                }
                // A lazily bound slot still points at libstdc++'s own PLT stub; chaining to
                // it would let the lazy resolver overwrite the slot and drop the hook.
                const auto address = reinterpret_cast<std::uintptr_t>(current);
                if (address >= runtime.begin && address < runtime.end) {
                    current = dlvsym(RTLD_DEFAULT, hook.symbol, hook.version);
                }
                if (!current) {
                    continue;
                }
                if (!*hook.next) {
                    *hook.next = current;
                }
                hooked[h] = write_slot(runtime, slot, hook.hook) || hooked[h];
            }
        }
    }
    return hooked[0] && hooked[1];
}

}  // namespace

bool install_throw_hook(ThrowObserver on_throw, FreeObserver on_free) {
    Runtime runtime;
    if (!dl_iterate_phdr(&find_runtime, &runtime) || !runtime.dynamic) {
        return false;
    }
    throw_observer = on_throw;
    free_observer = on_free;
    runtime_begin = runtime.begin;
    runtime_end = runtime.end;
    const Hook hooks[2] = {
        {"_Unwind_RaiseException", "GCC_3.0", reinterpret_cast<void *>(&raise_hook), reinterpret_cast<void **>(&next_raise)},
        {"__cxa_free_exception", "CXXABI_1.3", reinterpret_cast<void *>(&free_hook), reinterpret_cast<void **>(&next_free)},
    };
    return hook_slots(runtime, hooks);
}

// libstdc++'s exception_ptr is one pointer to the thrown object.
static_assert(sizeof(std::exception_ptr) == sizeof(void *));

const void *thrown_object(const std::exception_ptr &exception) {
    return *reinterpret_cast<const void *const *>(&exception);
}

const std::type_info *thrown_type(const std::exception_ptr &exception) {
    return exception.__cxa_exception_type();
}

bool in_cxx_runtime(std::uintptr_t pc) {
    return pc >= runtime_begin && pc < runtime_end;
}

}  // namespace vantrel::native
