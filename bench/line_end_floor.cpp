// The machine's floors for counting a list: line ends counted as plainly as
// can be, one or two threads, copied out with pread or read through one
// mapping of the whole file. Not part of the program: the bench times it
// beside the program's own count.
//
// Usage: tavilon-floor copy|mapped 1|2 FILE   (prints the line ends)

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t Piece = 256u << 10;

// Byte counters summed every 255 steps, so the loop vectorizes into byte
// compares.
__attribute__((target_clones("avx2", "default"))) std::uint64_t lineEnds(const unsigned char* p, std::size_t n)
{
    std::uint64_t count = 0;
    std::size_t i = 0;
    while (n - i >= 64 * 255) {
        unsigned char lanes[64] = {};
        for (int step = 0; step < 255; ++step, i += 64)
            for (int k = 0; k < 64; ++k)
                lanes[k] = static_cast<unsigned char>(lanes[k] + (p[i + k] == '\n'));
        for (unsigned char lane : lanes)
            count += lane;
    }
    for (; i < n; ++i)
        count += p[i] == '\n';
    return count;
}

// Reads land on a page: the kernel copies into memory that does not start on
// a cache line several times slower on some machines.
struct Buffer {
    Buffer() : bytes(static_cast<unsigned char*>(std::aligned_alloc(4096, Piece))) {}
    ~Buffer() { std::free(bytes); }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;
    unsigned char* data() { return bytes; }
    unsigned char* bytes;
};

struct Half {
    int fd = -1;
    const unsigned char* mapped = nullptr;
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    std::uint64_t count = 0;
};

void* countHalf(void* argument)
{
    Half& half = *static_cast<Half*>(argument);
    if (half.mapped) {
        half.count = lineEnds(half.mapped + half.begin, half.end - half.begin);
        return nullptr;
    }
    Buffer buffer;
    for (std::uint64_t at = half.begin; at < half.end;) {
        const std::size_t want = static_cast<std::size_t>(half.end - at < Piece ? half.end - at : Piece);
        const ssize_t n = pread(half.fd, buffer.data(), want, static_cast<off_t>(at));
        if (n <= 0)
            break;
        half.count += lineEnds(buffer.data(), static_cast<std::size_t>(n));
        at += static_cast<std::uint64_t>(n);
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: tavilon-floor copy|mapped THREADS FILE\n");
        return 2;
    }
    const bool mapped = std::strcmp(argv[1], "mapped") == 0;
    const int threads = std::atoi(argv[2]) == 2 ? 2 : 1;
    const int fd = open(argv[3], O_RDONLY);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0) {
        std::perror(argv[3]);
        return 1;
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    const unsigned char* map = nullptr;
    if (mapped && size > 0) {
        void* address = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (address == MAP_FAILED) {
            std::perror("mmap");
            return 1;
        }
        map = static_cast<const unsigned char*>(address);
    }
    std::uint64_t total = 0;
    if (threads == 1 && !mapped) {
        // One thread copies with plain read().
        Buffer buffer;
        for (ssize_t n; (n = read(fd, buffer.data(), Piece)) > 0;)
            total += lineEnds(buffer.data(), static_cast<std::size_t>(n));
    } else {
        Half halves[2];
        const std::uint64_t cut = threads == 2 ? size / 2 / 4096 * 4096 : size;
        halves[0] = {fd, map, 0, cut, 0};
        halves[1] = {fd, map, cut, size, 0};
        pthread_t second {};
        const bool started = threads == 2 && pthread_create(&second, nullptr, countHalf, &halves[1]) == 0;
        countHalf(&halves[0]);
        if (started)
            pthread_join(second, nullptr);
        else if (threads == 2)
            countHalf(&halves[1]);
        total = halves[0].count + halves[1].count;
    }
    std::printf("%llu\n", static_cast<unsigned long long>(total));
    return 0;
}
