// Trial mode: six stages against lv1..lv6.
#pragma once

struct Window;
struct DeviceContext;

void startTrialStage(Window* window);
void showStageBanner(Window* window);
void drawShadowText(DeviceContext* dc, int x, int y, const char* text);
void showStageResult(Window* window);

// The banner's second line: "Stage", the stage number, "、対" and the name of
// the computer's setting. The buffer needs 128 bytes; returns it.
char* stageBannerLine(char* buffer, int stage, int computerSetting);
