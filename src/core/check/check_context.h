#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/check/finding.h"
#include "core/program/catalogue.h"
#include "core/program/program_store.h"

namespace vrn::setup {
class SetupModel;
}

namespace vrn::check {

// The program under check and the findings gathered so far, shared by the rules.
class CheckContext {
public:
    CheckContext(const ProgramStore& store, std::vector<Finding>& out);

    const ProgramStore& store() const { return store_; }
    // Instructions before PGM END (or all 512 slots when there is none).
    size_t length() const { return length_; }
    bool hasPgmEnd() const { return hasPgmEnd_; }

    uint16_t number(size_t slot) const { return store_.instruction(slot); }
    // Null for an instruction number the catalogue does not have.
    const InstrDesc* desc(size_t slot) const { return instruction(store_.instruction(slot)); }
    // The index of the parameter of that name in the slot's instruction; empty when it has none.
    std::optional<size_t> param(size_t slot, std::string_view name) const;
    int32_t intValue(size_t slot, size_t param) const { return store_.intValue(slot, param); }
    uint16_t choice(size_t slot, size_t param) const { return store_.shortValue(slot, param); }

    void add(size_t slot, std::optional<size_t> param, Severity severity, std::string message);

private:
    const ProgramStore& store_;
    std::vector<Finding>& out_;
    size_t length_ = 0;
    bool hasPgmEnd_ = false;
};

// The rules, each adding its findings to the context.
void checkStructure(CheckContext& c);
void checkScreens(CheckContext& c);
void checkLocations(CheckContext& c);
void checkValues(CheckContext& c);
void checkRecordFormat(CheckContext& c, const setup::SetupModel& setup);

}  // namespace vrn::check
