// String resources. Kept in a file of its own: the string table belongs to the
// game's resources, so only programs that load strings need to link it.
#include "platform/qt_window.h"

#include "res/strings.h"

int loadString(int id, char* buffer, int bufferSize)
{
    const char* text = findString(id);
    return copyUtf8(QByteArray(text ? text : ""), buffer, bufferSize);
}
