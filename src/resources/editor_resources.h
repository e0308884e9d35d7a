// The editor's resources as the module offers them on the resource chain: dialog templates
// 9001-9004 and bitmap 9034. Generated at build time from src/resources/editor/definitions.py
// (which also holds the string table, see texts.h).
#pragma once

#include "toolkit/ui/resource_templates.h"

namespace resources {

constexpr int kSettingsDialogId = 9001;
constexpr int kStationPageId = 9002;
constexpr int kCommPortPageId = 9003;
constexpr int kStationDialogId = 9004;
constexpr int kStationTreeBitmapId = 9034;

// The template of that id, or null.
const ui::DialogTemplate* FindDialogTemplate(int id);
// The bitmap of that id, or null.
const ui::BitmapResource* FindBitmapResource(int id);

} // namespace resources
