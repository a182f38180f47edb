// Drawing resources and child controls that live as long as the main window.
#pragma once

#include "platform/platform.h"

extern Window* mainWindow;
extern Window* recordList;  // list box 1000
extern Window* playButton;  // button 501
extern Window* messageLine; // read-only edit 310
extern DeviceContext* windowDC;
extern Bitmap* stonePictures[7];
extern Bitmap* stoneMasks[7];
extern int pictureWidth[7];
extern int pictureHeight[7];
extern DeviceContext* stoneDC;
extern Font* uiFont;
extern Brush* boardBrush;
extern Brush* legalBrush;
extern Font* hintFont;     // a hint's values (the best cells' on a plate)
extern Font* hintMarkFont; // the sign over an estimated value
// The values' digits are a little larger than the panel's text, as they
// stand on the board's green; the sign over an estimate is smaller.
constexpr int HintFontHeight = 13;
constexpr int HintMarkFontHeight = 10;
extern Brush* hintBrush;     // behind the best cells' marks
extern Brush* lastMoveBrush; // the dot on the last move's stone
extern Icon* playIcon;
extern Icon* stopIcon;

enum : int { RecordListId = 1000, PlayButtonId = 501, MessageLineId = 310 };

FontDesc initUiFont();
void createGdiResources(Window* window);
void freeGdiResources(Window* window);
void createChildControls(Window* window);
