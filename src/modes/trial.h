// Trial mode: six stages against lv1..lv6.
#pragma once

struct Window;
struct DeviceContext;

void startTrialStage(Window* window);
void showStageBanner(Window* window);
void drawShadowText(DeviceContext* dc, int x, int y, const char* text);
void showStageResult(Window* window);
