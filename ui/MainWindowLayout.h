#pragma once
// Where every control of the main window goes, worked out from the banner's
// width alone (the window is as wide as the banner and three quarters as
// high). Platform-free; all arithmetic in signed 32-bit integers, divisions
// truncating toward zero.

struct LayoutRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const LayoutRect& other) const
    {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
};

struct LayoutSize {
    int width = 0, height = 0;
};

// Client sizes of the controls that keep their template size, read before
// they are moved.
struct MainWindowControlSizes {
    LayoutSize status, install, folder, toggle, agreeText, licenceLink;
};

// In the order the moves are made. Close and minimise are placed inside the
// banner (their parent in install mode).
struct MainWindowLayout {
    LayoutRect window, close, minimise, progress, status, install, folder, toggle, agreeText, licenceLink;
};

MainWindowLayout LayOutMainWindow(int bannerWidth, const MainWindowControlSizes& sizes);
