// File mapping.
#include "tools/MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

std::optional<TByteView> MapFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    void* address = MAP_FAILED;
    size_t length = 0;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        length = static_cast<size_t>(st.st_size);
        address = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, 0);
    }
    ::close(fd);
    if (address != MAP_FAILED) {
        std::shared_ptr<const void> keeper(
            address, [length](const void* p) { ::munmap(const_cast<void*>(p), length); });
        return TByteView{{static_cast<const uint8_t*>(address), length}, std::move(keeper), true};
    }
    // Empty files, pipes and the like are read whole.
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    auto bytes = std::make_shared<const std::vector<uint8_t>>((std::istreambuf_iterator<char>(in)),
                                                              std::istreambuf_iterator<char>());
    return TByteView{{bytes->data(), bytes->size()}, bytes, true};
}
