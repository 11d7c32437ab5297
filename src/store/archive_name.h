#pragma once

#include <string>
#include <string_view>

namespace vrn::store {

// An archive's name as it may be shown or kept: a postgresql:// (or postgres://) URL with its
// password, in the user part and in a password= option alike, replaced by ***; anything else as
// it is. Every message, log line and document that names an archive names it through this.
std::string redactedArchive(std::string_view where);

}  // namespace vrn::store
