// A preset is written as a user would type it; one no user could type (a
// symbol no parameter has, a value its parameter does not take, a parameter
// set twice, a name used twice) is refused, so that the generators that
// resolve the table stop the build on it.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/PresetTable.h"

namespace {

using engine::PresetSpec;
using engine::PresetValue;

TEST(PresetTable, RefusesWhatNoUserCouldType) {
    const PresetValue misspelt[] = {{"masterDrives", 6}};
    const PresetValue notAParameter[] = {{"bypass", 1}};
    const PresetValue aboveRange[] = {{"masterDrive", 60.5}};
    const PresetValue noSuchChoice[] = {{"filterBank", 12}};
    const PresetValue betweenChoices[] = {{"compressorMode", 0.5}};
    const PresetValue setTwice[] = {{"release", 50}, {"release", 60}};
    const std::vector<std::vector<PresetSpec>> tables = {
        {{"Misspelt", misspelt, 1}},
        {{"Not a parameter", notAParameter, 1}},
        {{"Above the range", aboveRange, 1}},
        {{"No such choice", noSuchChoice, 1}},
        {{"Between choices", betweenChoices, 1}},
        {{"Set twice", setTwice, 2}},
        {{"Twice", nullptr, 0}, {"Twice", nullptr, 0}},
    };
    for (const std::vector<PresetSpec>& specs : tables) {
        EXPECT_THROW(engine::PresetTable(engine::ControlTable::instance(), specs), std::logic_error)
            << specs.front().name;
    }
    const PresetValue edges[] = {{"masterDrive", 60}, {"filterBank", 11}, {"release", 0}};
    EXPECT_NO_THROW(engine::PresetTable(engine::ControlTable::instance(), {{"Edges", edges, 3}}));
}

}  // namespace
