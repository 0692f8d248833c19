#pragma once
// What the edit-browse box decides before any window is involved: its mode
// from a template's control-initialisation data, and how a file browse
// starts from the box's text. Platform-free.

#include <cstddef>
#include <optional>
#include <string>

// The values the template's data uses.
enum class EditBrowseMode {
    None = 0,    // no button
    File = 1,    // the system's file-open dialog
    Folder = 2,  // the folder picker
    Custom = 3,  // a button whose action a derived class supplies
};

// The mode named by "<MFCEditBrowse_Mode>n</MFCEditBrowse_Mode>" within the
// data; nothing when the tag is missing or names no known mode.
std::optional<EditBrowseMode> BrowseModeFromInitData(const char* data, size_t size);

struct FileBrowseStart {
    // The text holds a character no file name may hold: warn, open nothing.
    bool nameIsInvalid = false;
    // The file name the dialog starts with.
    std::wstring presetName;
};

// A text whose name part (without drive, folder and extension) is blank
// starts an empty dialog whatever else it holds; otherwise any of * ? < > |
// anywhere in the text makes it invalid, and a valid text is the preset.
FileBrowseStart StartFileBrowse(const std::wstring& text);
