// Trial mode: six stages against lv1..lv6.
#pragma once

struct Window;
struct DeviceContext;

void startTrialStage(Window* window);
void showStageBanner(Window* window);
void drawShadowText(DeviceContext* dc, int x, int y, const char* text);
void showStageResult(Window* window);

// The banner's second line: the stage number and the name of the computer's
// setting. The buffer needs StageLineSize bytes; returns it.
constexpr int StageLineSize = 128;
char* stageBannerLine(char* buffer, int stage, int computerSetting);
