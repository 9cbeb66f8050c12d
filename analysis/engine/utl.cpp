// Allocators of the analysis engine; failures become the engine's pending fatal error.
#include "analysis/engine/utl.h"

#include "analysis/engine/fem.h"

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>

namespace kestrel::engine {

UtlState g_utl;

void utl_reset() {
    g_utl = UtlState{};
}

namespace {

// calloc that honours the test limit and never returns null for a zero-sized request.
void* raw_calloc(std::size_t count, std::size_t size) {
    if (count == 0) count = 1;
    if (size == 0) size = 1;
    if (count > g_utl.fail_above / size) return nullptr;
    return std::calloc(count, size);
}

// Blocks of utl_calloc carry a header before the caller's bytes. Large blocks are mapped
// directly, aligned to the huge-page size and offered to the system for huge pages: the first
// write to fresh memory costs a page fault per page, and one 2 MiB page replaces 512 small
// ones. Where the system offers no huge pages the mapping simply stays in small pages.
constexpr std::size_t kHeader = 64; // keeps the caller's bytes aligned for vector loads
constexpr std::size_t kLargeBlock = std::size_t{1} << 20;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

struct BlockHeader {
    std::size_t mapped; // bytes of the mapping, 0 for a block from calloc
};

// The mapping ends at the small page after the block: a huge page is only given to a 2 MiB
// stretch that lies wholly inside it, so the tail of the block is never rounded up to one.
void* map_block(std::size_t bytes, std::size_t* mapped) {
    constexpr std::size_t kSmallPage = 4096;
    const std::size_t length = (bytes + kSmallPage - 1) / kSmallPage * kSmallPage;
    void* raw = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    // Trim the mapping to a huge-page boundary at both ends.
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned > start) munmap(raw, aligned - start);
    const std::size_t tail = kHugePage - (aligned - start);
    if (tail > 0) munmap(reinterpret_cast<void*>(aligned + length), tail);
    void* block = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
    madvise(block, length, MADV_HUGEPAGE); // advice only: refused, small pages serve
#endif
    *mapped = length;
    return block; // anonymous mappings are zero-filled
}

// A zero-filled block of count x size bytes with its header; null when it cannot be had.
void* block_alloc(std::size_t count, std::size_t size) {
    if (count == 0) count = 1;
    if (size == 0) size = 1;
    if (count > g_utl.fail_above / size) return nullptr;
    if (count > (static_cast<std::size_t>(-1) - kHeader - kHugePage) / size) return nullptr;
    const std::size_t bytes = count * size + kHeader;
    std::size_t mapped = 0;
    void* p = bytes >= kLargeBlock ? map_block(bytes, &mapped) : std::calloc(1, bytes);
    if (!p) return nullptr;
    static_cast<BlockHeader*>(p)->mapped = mapped;
    return static_cast<char*>(p) + kHeader;
}

void block_free(void* block) {
    if (!block) return;
    void* p = static_cast<char*>(block) - kHeader;
    const std::size_t mapped = static_cast<BlockHeader*>(p)->mapped;
    if (mapped)
        munmap(p, mapped);
    else
        std::free(p);
}

template <typename T>
T** matalloc(int rows, int columns, const char* rows_msg, const char* cols_msg) {
    if (rows < 0 || columns < 0) {
        fem_fail(rows_msg);
        return nullptr;
    }
    T** r = static_cast<T**>(raw_calloc(static_cast<std::size_t>(rows), sizeof(T*)));
    if (!r) {
        fem_fail(rows_msg);
        return nullptr;
    }
    T* block = static_cast<T*>(
        raw_calloc(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns), sizeof(T)));
    if (!block) {
        std::free(r);
        fem_fail(cols_msg);
        return nullptr;
    }
    for (int i = 0; i < rows; ++i) r[i] = block + static_cast<std::size_t>(i) * columns;
    // Row 0 always points at the block (raw_calloc gives one slot even when rows == 0).
    r[0] = block;
    return r;
}

template <typename T> void matfree(T** m) {
    if (!m) return;
    std::free(m[0]);
    std::free(m);
}

} // namespace

void* utl_calloc(std::size_t count, std::size_t size) {
    void* p = block_alloc(count, size);
    if (!p) fem_fail("Allocation failure in utl_calloc !!!\n");
    return p;
}

void utl_free(void* block) {
    block_free(block);
}

int** utl_imatalloc(int rows, int columns) {
    return matalloc<int>(rows, columns, "Allocation failure (rows) in utl_imatalloc !!!\n",
                         "Allocation failure (columns) in utl_imatalloc !!!\n");
}

void utl_imatfree(int** matrix) {
    matfree(matrix);
}

double** utl_dmatalloc(int rows, int columns) {
    return matalloc<double>(rows, columns, "Allocation failure (rows) in utl_dmatalloc !!!\n",
                            "Allocation failure (columns) in utl_dmatalloc !!!\n");
}

void utl_dmatfree(double** matrix) {
    matfree(matrix);
}

bool utl_profilealloc(int n, const int* first, std::size_t element_size, ProfileMatrix* out) {
    *out = ProfileMatrix{};
    const char* msg = "Allocation failure in utl_profilealloc !!!\n";
    if (n < 0 || element_size != sizeof(double)) return fem_fail(msg);
    auto* offset = static_cast<std::ptrdiff_t*>(
        block_alloc(static_cast<std::size_t>(n), sizeof(std::ptrdiff_t)));
    if (!offset) return fem_fail(msg);
    std::size_t size = 0;
    for (int i = 0; i < n; ++i) {
        offset[i] = static_cast<std::ptrdiff_t>(size) - first[i];
        size += static_cast<std::size_t>(i - first[i] + 1);
    }
    auto* data = static_cast<double*>(block_alloc(size, element_size));
    if (!data) {
        block_free(offset);
        return fem_fail(msg);
    }
    out->n = n;
    out->first = first;
    out->offset = offset;
    out->data = data;
    out->size = size;
    return true;
}

void utl_profilefree(ProfileMatrix* matrix) {
    block_free(matrix->offset);
    block_free(matrix->data);
    *matrix = ProfileMatrix{};
}

} // namespace kestrel::engine
