#include "ui/MainWindowLayout.h"

namespace {
// The skinned progress bar's track is 410 by 10 pixels.
constexpr int kProgressWidth = 410;
constexpr int kProgressHeight = 10;
// The banner's corner buttons are 20 pixels square, 15 from its top.
constexpr int kCornerButton = 20;
}  // namespace

MainWindowLayout LayOutMainWindow(int bannerWidth, const MainWindowControlSizes& sizes)
{
    const int width = bannerWidth;
    const int height = (3 * width) / 4;
    const int step = height / 5;  // the rows below the banner are laid out in fifths of the height
    const int progressTop = 4 * step;
    const int progressLeft = (width - kProgressWidth) / 2;
    const int agreementRow = height - 25;

    MainWindowLayout layout;
    layout.window = {0, 0, width, height};
    layout.close = {width - 30, 15, kCornerButton, kCornerButton};
    layout.minimise = {width - 60, 15, kCornerButton, kCornerButton};
    layout.progress = {progressLeft, progressTop, kProgressWidth, kProgressHeight};
    layout.status = {progressLeft, progressTop + 30, sizes.status.width + 20, sizes.status.height};
    layout.install = {(width - sizes.install.width) / 2, progressTop - 40, sizes.install.width, sizes.install.height};
    layout.folder = {(width - sizes.folder.width) / 2, progressTop + 10, sizes.folder.width, sizes.folder.height + 10};
    layout.toggle = {30, agreementRow, sizes.toggle.width, sizes.toggle.height};
    layout.agreeText = {40 + sizes.toggle.width, agreementRow, sizes.agreeText.width, sizes.agreeText.height};
    layout.licenceLink = {50 + sizes.toggle.width + sizes.agreeText.width, agreementRow, sizes.licenceLink.width,
                          sizes.licenceLink.height};
    return layout;
}
