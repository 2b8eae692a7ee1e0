#include "vst3/ProgramList.h"

#include <algorithm>
#include <cmath>

#include "vst3/ParameterTable.h"

namespace vst3 {

std::optional<std::size_t> ProgramList::programAt(double normalized) const {
    if (std::isnan(normalized)) return std::nullopt;
    const double last = static_cast<double>(presets_.size() - 1);
    return static_cast<std::size_t>(std::lround(std::clamp(normalized, 0.0, 1.0) * last));
}

double ProgramList::normalizedOf(std::size_t program) const {
    return presets_.size() > 1
               ? static_cast<double>(program) / static_cast<double>(presets_.size() - 1)
               : 0.0;
}

double ProgramList::plainOf(double normalized) const {
    const std::optional<std::size_t> program = programAt(normalized);
    return program ? static_cast<double>(*program) : normalized;
}

double ProgramList::normalizedFor(double plain) const {
    const std::optional<std::size_t> program =
        programAt(plain / static_cast<double>(std::max<std::size_t>(presets_.size() - 1, 1)));
    return program ? normalizedOf(*program) : plain;
}

void ProgramList::describeParameter(ParameterInfo& info) const {
    info = ParameterInfo{};
    info.id = kProgramChangeId;
    copyUtf16("Preset", info.title, 128);
    copyUtf16("Preset", info.shortTitle, 128);
    info.stepCount = count() - 1;
    info.unitId = kRootUnitId;
    info.flags = kIsProgramChange | kIsList;
}

std::string ProgramList::text(double normalized) const {
    const std::optional<std::size_t> program = programAt(normalized);
    return program ? presets_.name(*program) : std::string();
}

std::optional<double> ProgramList::fromText(const std::string& text) const {
    const std::optional<std::size_t> program = presets_.find(text);
    if (!program) return std::nullopt;
    return normalizedOf(*program);
}

bool ProgramList::describeUnit(int32 index, UnitInfo& info) const {
    if (index != 0) return false;
    info = UnitInfo{};
    info.id = kRootUnitId;
    info.parentUnitId = kNoParentUnitId;
    copyUtf16("Root", info.name, 128);
    info.programListId = kFactoryListId;
    return true;
}

bool ProgramList::describeList(int32 index, ProgramListInfo& info) const {
    if (index != 0) return false;
    info = ProgramListInfo{};
    info.id = kFactoryListId;
    copyUtf16("Factory presets", info.name, 128);
    info.programCount = count();
    return true;
}

bool ProgramList::programName(ProgramListID list, int32 program, String128 name) const {
    if (list != kFactoryListId || program < 0 || program >= count() || name == nullptr) {
        return false;
    }
    copyUtf16(presets_.name(static_cast<std::size_t>(program)), name, 128);
    return true;
}

}  // namespace vst3
