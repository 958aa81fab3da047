// Every test binary keeps the user's data folder out of reach: before anything runs,
// XDG_DATA_HOME points at a fresh scratch folder of this process (removed at exit), so a
// recovery file a window writes never lands in, or comes from, the real ~/.local/share. A test
// that wants a folder of its own sets XDG_DATA_HOME again; child processes inherit it.

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

struct ScratchDataHome {
    std::string folder;

    ScratchDataHome() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vqs-test-data-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();  // never fall back to the real one
        folder = pattern;
        ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
    }
    ~ScratchDataHome() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

const ScratchDataHome scratch;

}  // namespace
