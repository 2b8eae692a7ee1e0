#include "InstanceFootprint.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <link.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "AllocationLog.h"
#include "HostCallback.h"
#include "PluginInstance.h"

namespace bench {
namespace {

struct Segment {
    std::uintptr_t begin;
    std::uintptr_t end;
    bool readable;
    bool executable;
    bool writable;
};

struct SegmentSearch {
    std::uintptr_t base;
    std::vector<Segment>* segments;
};

std::vector<Segment> segmentsOf(const host::PluginLibrary& library) {
    link_map* map = nullptr;
    std::vector<Segment> segments;
    if (dlinfo(library.handle(), RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) return segments;
    SegmentSearch search{map->l_addr, &segments};
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            auto* wanted = static_cast<SegmentSearch*>(data);
            if (info->dlpi_addr != wanted->base) return 0;
            const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
            for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
                const ElfW(Phdr)& header = info->dlpi_phdr[i];
                if (header.p_type != PT_LOAD) continue;
                const std::uintptr_t start = info->dlpi_addr + header.p_vaddr;
                wanted->segments->push_back(
                    Segment{start & ~(page - 1), (start + header.p_memsz + page - 1) & ~(page - 1),
                            (header.p_flags & PF_R) != 0, (header.p_flags & PF_X) != 0,
                            (header.p_flags & PF_W) != 0});
            }
            return 1;
        },
        &search);
    return segments;
}

bool readable(const std::vector<Segment>& segments, std::uintptr_t address, std::size_t bytes) {
    for (const Segment& segment : segments) {
        if (segment.readable && address >= segment.begin && address + bytes <= segment.end) {
            return true;
        }
    }
    return false;
}

// The demangled dynamic type of a block whose first word is a vtable pointer
// into the plug-in, or "" when the block does not look like one. Reads only
// memory inside the plug-in's readable segments (Itanium C++ layout: the
// type_info pointer sits just before the vtable's first slot, the name
// pointer after the type_info's own vtable pointer).
std::string dynamicTypeName(const AllocationRecord& block, const std::vector<Segment>& segments) {
    constexpr std::size_t kWord = sizeof(std::uintptr_t);
    if (block.size < kWord) return {};
    std::uintptr_t vtable = 0;
    std::memcpy(&vtable, block.address, kWord);
    if (!readable(segments, vtable - kWord, 2 * kWord)) return {};
    std::uintptr_t typeInfo = 0;
    std::memcpy(&typeInfo, reinterpret_cast<const void*>(vtable - kWord), kWord);
    if (!readable(segments, typeInfo, 2 * kWord)) return {};
    std::uintptr_t name = 0;
    std::memcpy(&name, reinterpret_cast<const void*>(typeInfo + kWord), kWord);
    if (!readable(segments, name, 1)) return {};
    const char* mangled = reinterpret_cast<const char*>(name);
    if (*mangled == '*') ++mangled;  // marks a type local to its library
    int status = 0;
    char* plain = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string result = status == 0 && plain != nullptr ? plain : mangled;
    std::free(plain);
    return result;
}

}  // namespace

MappedImage mappedImage(const host::PluginLibrary& library) {
    MappedImage image;
    for (const Segment& segment : segmentsOf(library)) {
        const std::size_t bytes = segment.end - segment.begin;
        image.totalBytes += bytes;
        if (segment.executable) image.codeBytes += bytes;
        if (segment.writable) image.writableBytes += bytes;
    }
    return image;
}

InstanceFootprint measureInstance(const std::shared_ptr<const host::PluginLibrary>& library) {
    const std::vector<Segment> segments = segmentsOf(*library);
    const struct mallinfo2 before = mallinfo2();
    AllocationLog::start();
    vst::AEffect* record = library->entry()(host::hostCallback);
    AllocationLog::stop();
    const struct mallinfo2 after = mallinfo2();
    const host::PluginInstance plugin(library, record, 48000.0, 512);

    InstanceFootprint footprint;
    footprint.mallinfoBytes =
        after.uordblks > before.uordblks ? after.uordblks - before.uordblks : 0;
    const auto recordAddress = reinterpret_cast<std::uintptr_t>(record);
    bool effectFound = false;
    for (const AllocationRecord* block = AllocationLog::begin(); block != AllocationLog::end();
         ++block) {
        ++footprint.blocks;
        footprint.requestedBytes += block->size;
        footprint.heapBytes +=
            malloc_usable_size(const_cast<void*>(block->address)) + sizeof(std::size_t);
        const auto start = reinterpret_cast<std::uintptr_t>(block->address);
        if (recordAddress >= start && recordAddress < start + block->size) {
            footprint.effectObjectBytes += block->size;
            effectFound = true;
            continue;
        }
        const std::string type = dynamicTypeName(*block, segments);
        if (type.find("Bank") != std::string::npos) {
            footprint.bankBytes += block->size;
            ++footprint.banks;
        } else if (type.find("Dynamics") != std::string::npos) {
            footprint.dynamicsBytes += block->size;
        } else {
            footprint.otherBytes += block->size;
        }
    }
    footprint.complete = effectFound && !AllocationLog::overflowed();
    return footprint;
}

}  // namespace bench
