#include "ui/gdi.h"

#include "ui/computer.h"

Window* mainWindow = nullptr;
Window* recordList = nullptr;
Window* playButton = nullptr;
Window* messageLine = nullptr;
DeviceContext* windowDC = nullptr;
Bitmap* stonePictures[7] = {};
Bitmap* stoneMasks[7] = {};
int pictureWidth[7] = {};
int pictureHeight[7] = {};
DeviceContext* stoneDC = nullptr;
Font* uiFont = nullptr;
Brush* boardBrush = nullptr;
Brush* legalBrush = nullptr;
Font* hintFont = nullptr;
Font* hintMarkFont = nullptr;
Brush* hintBrush = nullptr;
Brush* lastMoveBrush = nullptr;
Icon* playIcon = nullptr;
Icon* stopIcon = nullptr;

namespace {
constexpr int FirstPictureId = 100;
constexpr int FirstMaskId = 200;
constexpr int ButtonIconSize = 16;
constexpr int PlayButtonTop = 237;
Font* createHintFont(int height)
{
    FontDesc desc = initUiFont();
    desc.height = height;
    return createFont(desc);
}
} // namespace

// The one font description of the window; the trial banner starts from it too.
FontDesc initUiFont()
{
    FontDesc desc{};
    desc.height = 12;
    desc.weight = FW_NORMAL;
    desc.charSet = SHIFTJIS_CHARSET;
    desc.faceName = nullptr;
    return desc;
}

void createGdiResources(Window* window)
{
    // Kept for the window's life: stones and banners are drawn outside painting.
    windowDC = getWindowDC(window);
    for (int k = 0; k < 7; ++k) {
        stonePictures[k] = loadBitmap(FirstPictureId + k);
        stoneMasks[k] = loadBitmap(FirstMaskId + k);
        bitmapSize(stonePictures[k], &pictureWidth[k], &pictureHeight[k]);
    }
    stoneDC = createCompatibleDC(windowDC);
    uiFont = createFont(initUiFont());
    boardBrush = createSolidBrush(rgb(0, 153, 0));
    legalBrush = createSolidBrush(rgb(0, 204, 102));
    hintFont = createHintFont(HintFontHeight);
    hintMarkFont = createHintFont(HintMarkFontHeight);
    hintBrush = createSolidBrush(rgb(255, 232, 64));
    lastMoveBrush = createSolidBrush(rgb(230, 30, 30));
    playIcon = loadIcon("PLAYBIT", ButtonIconSize);
    stopIcon = loadIcon("STOPBIT", ButtonIconSize);
    moveDoneEvent = createAutoResetEvent();
}

void freeGdiResources(Window* window)
{
    releaseWindowDC(window, windowDC);
    windowDC = nullptr;
    for (int k = 0; k < 7; ++k) {
        deleteBitmap(stonePictures[k]);
        deleteBitmap(stoneMasks[k]);
        stonePictures[k] = stoneMasks[k] = nullptr;
    }
    deleteFont(uiFont);
    deleteDC(stoneDC);
    deleteBrush(boardBrush);
    deleteBrush(legalBrush);
    deleteFont(hintFont);
    deleteFont(hintMarkFont);
    deleteBrush(hintBrush);
    deleteBrush(lastMoveBrush);
    hintFont = hintMarkFont = nullptr;
    hintBrush = lastMoveBrush = nullptr;
    destroyIcon(playIcon);
    destroyIcon(stopIcon);
    closeEvent(moveDoneEvent);
    uiFont = nullptr;
    stoneDC = nullptr;
    boardBrush = legalBrush = nullptr;
    playIcon = stopIcon = nullptr;
    moveDoneEvent = nullptr;
}

void createChildControls(Window* window)
{
    recordList = createControl(window, ControlKind::ListBox, RecordListId, 300, 160, 200, 91);
    setControlFont(recordList, uiFont);
    // Playback is only offered in record mode, which enables the button.
    playButton = createControl(window, ControlKind::IconButton, PlayButtonId, 300, PlayButtonTop, 30, 18);
    // The button lies over the list's bottom: no line may hide under it.
    listBoxEndLinesAt(recordList, PlayButtonTop);
    setButtonIcon(playButton, playIcon);
    enableWindow(playButton, false);
    messageLine = createControl(window, ControlKind::ReadOnlyEdit, MessageLineId, 20, 265, 500, 40);
    setControlFont(messageLine, uiFont);
}
