#include "vst3/PluginFactory.h"

#include <cstring>
#include <new>

#include "effect/ProductInfo.h"
#include "vst3/CompressorVst3.h"

namespace vst3 {

namespace {

constexpr Uid kClassId =
    replacementClassId(static_cast<uint32>(effect::product::kUniqueId), effect::product::kEffectName);

// The bytes the replacement rule gives for 'Kzw4' and "Compressor", in this system's order.
constexpr bool hasTwinBytes(const Uid& uid) {
    constexpr Uid expected = Uid::fromWords(0x5653544B, 0x7A773463, 0x6F6D7072, 0x6573736F);
    for (int i = 0; i < 16; ++i) {
        if (uid.bytes[i] != expected.bytes[i]) return false;
    }
    return true;
}
static_assert(hasTwinBytes(kClassId));

constexpr const char* kCategory = "Audio Module Class";
constexpr const char* kSubCategories = "Fx|Dynamics";
constexpr const char* kSdkVersion = "VST 3.7.0";

template <std::size_t N>
void copyText(char (&into)[N], const char* text) {
    std::strncpy(into, text, N - 1);
    into[N - 1] = '\0';
}

}  // namespace

const Uid kCompressorClassId = kClassId;

tresult PluginFactory::queryInterface(const char* interfaceId, void** obj) {
    if (obj == nullptr) return kInvalidArgument;
    if (FUnknown::iid.matches(interfaceId) || IPluginFactory::iid.matches(interfaceId) ||
        IPluginFactory2::iid.matches(interfaceId)) {
        *obj = this;
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

tresult PluginFactory::getFactoryInfo(PFactoryInfo* info) {
    if (info == nullptr) return kInvalidArgument;
    *info = PFactoryInfo{};
    copyText(info->vendor, effect::product::kVendorName);
    info->flags = kFactoryUnicode;
    return kResultOk;
}

tresult PluginFactory::getClassInfo(int32 index, PClassInfo* info) {
    if (info == nullptr || index != 0) return kInvalidArgument;
    *info = PClassInfo{};
    info->cid = kClassId;
    info->cardinality = kManyInstances;
    copyText(info->category, kCategory);
    copyText(info->name, effect::product::kEffectName);
    return kResultOk;
}

tresult PluginFactory::getClassInfo2(int32 index, PClassInfo2* info) {
    if (info == nullptr || index != 0) return kInvalidArgument;
    *info = PClassInfo2{};
    info->cid = kClassId;
    info->cardinality = kManyInstances;
    copyText(info->category, kCategory);
    copyText(info->name, effect::product::kEffectName);
    copyText(info->subCategories, kSubCategories);
    copyText(info->vendor, effect::product::kVendorName);
    copyText(info->version, effect::product::kVersion);
    copyText(info->sdkVersion, kSdkVersion);
    return kResultOk;
}

tresult PluginFactory::createInstance(FIDString cid, FIDString interfaceId, void** obj) {
    if (obj == nullptr) return kInvalidArgument;
    *obj = nullptr;
    if (!kClassId.matches(cid)) return kNoInterface;
    CompressorVst3* instance = nullptr;
    try {
        instance = new CompressorVst3();
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    const tresult result = instance->queryInterface(interfaceId, obj);
    instance->release();
    return result;
}

PluginFactory& pluginFactory() {
    static PluginFactory factory;
    return factory;
}

}  // namespace vst3
