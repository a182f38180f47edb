#include "modes/help.h"

#include <string>

#include "files/paths.h"
#include "modes/resume.h"
#include "platform/platform.h"
#include "res/text.h"
#include "ui/playflow.h"

#ifndef REVERSE_VERSION
#error "REVERSE_VERSION must be defined by the build"
#endif

namespace {

constexpr const char* SettingsFileName = "config.dat";

// A file's place as the about box shows it, or why there is none.
std::string shownPlace(const std::string& path, const std::string& problem)
{
    return path.empty() ? formatUiText(TextId::NoFolder, problem.c_str()) : path;
}

std::string settingsPlace()
{
    const AppFolder folder = configFolder();
    return shownPlace(folder.path.empty() ? "" : folder.path + "/" + SettingsFileName, folder.problem);
}

std::string keptGamePlaceShown()
{
    std::string problem;
    const std::string path = keptGamePlace(problem);
    return shownPlace(path, problem);
}

// The game stands still behind the box, as behind any dialog.
template <typename Show> void whileModal(Show show)
{
    const int was = modalOpen;
    modalOpen = 1;
    show();
    modalOpen = was;
}

} // namespace

void showHowToPlay(Window* window)
{
    whileModal(
        [&] { showTextWindow(window, uiText(TextId::HowToPlayText), uiText(TextId::HowToPlayTitle)); });
}

void showAbout(Window* window)
{
    const std::string about = formatUiText(TextId::AboutText, REVERSE_VERSION, settingsPlace().c_str(),
                                           keptGamePlaceShown().c_str());
    whileModal([&] { messageBoxInformation(window, about.c_str(), uiText(TextId::AboutTitle)); });
}
