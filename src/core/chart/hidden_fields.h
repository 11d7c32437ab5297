#pragma once

#include <set>
#include <string>
#include <string_view>

namespace vrn::chart {

// The records chart remembers the fields the user unticked, by label, in a section of its own of
// the preferences file: "Hidden Field 1=AIR TEMP", "Hidden Field 2=RH", ... A field whose label is
// not there is ticked, so the fields of a new station all show.
inline constexpr const char* kHiddenFieldsSection = "Records Chart";
inline constexpr const char* kHiddenFieldKey = "Hidden Field";

// The labels listed in the section of the INI text; none when it has no such section.
std::set<std::string> parseHiddenFields(std::string_view iniText);

// The INI text with the section holding exactly these labels (none: the section goes). Every other
// line of the text stays as it was; the section is added at the end when it is new.
std::string writeHiddenFields(std::string_view iniText, const std::set<std::string>& hidden);

}  // namespace vrn::chart
