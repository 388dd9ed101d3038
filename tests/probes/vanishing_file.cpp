// Preloaded by the tests to delete a file between two queries, as another process might:
// after vantrel_vanish(path, n), `path` is removed just before the stat of it that follows
// the next n.
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace {

std::string target;
int stats_left = -1;

}  // namespace

extern "C" __attribute__((visibility("default"))) void vantrel_vanish(const char *path, int stats) {
    target = path;
    stats_left = stats;
}

extern "C" __attribute__((visibility("default"))) int stat(const char *path, struct stat *status) noexcept {
    using stat_function = int (*)(const char *, struct stat *);
    static const auto real_stat = reinterpret_cast<stat_function>(dlsym(RTLD_NEXT, "stat"));
    if (stats_left >= 0 && target == path && stats_left-- == 0) {
        unlink(path);
    }
    return real_stat(path, status);
}
