#pragma once

#include <QString>
#include <functional>
#include <string>
#include <string_view>

#include "core/app/preferences.h"

namespace vrn::gui {

// VRNComm/vrncomm.ini in the user's configuration folder ($XDG_CONFIG_HOME, else ~/.config).
QString preferencesFilePath();

// The four values of the file; the defaults where it is missing, unreadable or lacks a key.
Preferences readPreferencesFile(const QString& path);

// Writes the four values, keeping the rest of the file; creates the file and its folder when
// needed. The old file is replaced only by a complete new one. False when it could not be written.
bool writePreferencesFile(const QString& path, const Preferences& prefs);

// The whole file as it is (empty when missing or unreadable), for the sections others keep in it.
std::string readPreferencesText(const QString& path);
// Replaces the file by this text, whole or not at all; false when it could not be written.
bool writePreferencesText(const QString& path, const std::string& text);
// Replaces the file's text by what rewrite makes of it, as writePreferencesFile does.
bool rewritePreferencesFile(const QString& path, const std::function<std::string(std::string_view)>& rewrite);

}  // namespace vrn::gui
