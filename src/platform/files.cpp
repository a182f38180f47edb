// Files the player picks or drops, and the clipboard: Qt's own file dialogs
// (not the desktop's, so they look and behave the same everywhere and the
// modal hook can drive them), drops of local files on the main window, plain
// text on the clipboard, and Qt's Japanese texts for the dialogs it draws.
#include "platform/qt_window.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

namespace {

QStringList filterTexts(const FileFilter* filters, int count)
{
    QStringList texts;
    for (int i = 0; i < count; ++i)
        texts << QStringLiteral("%1 (%2)").arg(fromUtf8(filters[i].name), fromUtf8(filters[i].patterns));
    return texts;
}

// "ggf" for "*.ggf *.txt"; "" when the first pattern names no suffix.
QString suffixOf(const FileFilter& filter)
{
    const QString first = fromUtf8(filter.patterns).section(QLatin1Char(' '), 0, 0);
    return first.startsWith(QLatin1String("*.")) && first.count(QLatin1Char('*')) == 1 ? first.mid(2)
                                                                                       : QString();
}

QFileDialog* makeFileDialog(Window* owner, const char* caption, const std::string& folder,
                            const QStringList& filters)
{
    auto* dialog = new QFileDialog(owner ? owner->widget.data() : nullptr, fromUtf8(caption),
                                   QString::fromStdString(folder));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setNameFilters(filters);
    return dialog;
}

void registerItems(Window* window, QFileDialog* dialog)
{
    if (auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))) {
        QPushButton* accept = buttons->button(QDialogButtonBox::Open);
        window->items[IDOK] = accept ? accept : buttons->button(QDialogButtonBox::Save);
        window->items[IDCANCEL] = buttons->button(QDialogButtonBox::Cancel);
    }
    window->items[FileNameItem] = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    window->items[FileTypeItem] = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
}

// For the real-X tests: when REVERSE_TEST_FILE_CHOICE names a file, each file
// dialog opens on the path its first line holds, folder and name set whole.
// Typed key by key into a slow program, a long path can lose keys to the
// name field's completion list.
void presetChoiceForTests(QFileDialog* dialog)
{
    QFile choice(qEnvironmentVariable("REVERSE_TEST_FILE_CHOICE"));
    if (choice.fileName().isEmpty() || !choice.open(QIODevice::ReadOnly))
        return;
    const QString path = QString::fromUtf8(choice.readLine()).trimmed();
    if (!path.isEmpty())
        dialog->selectFile(path);
}

bool runFileDialog(Window* owner, QFileDialog* dialog, std::string& path)
{
    Window* window = newWindow(WindowKind::Dialog);
    window->parent = owner;
    window->dialog = dialog;
    window->widget = dialog;
    registerItems(window, dialog);
    placeOnShow(dialog, owner);
    presetChoiceForTests(dialog);
    callHookWhenShown(window, dialog);
    const bool chosen = dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty();
    if (chosen)
        path = dialog->selectedFiles().first().toStdString();
    window->ended = true;
    window->destroyed = true;
    window->items.clear();
    return chosen;
}

// A new type gives the proposed name its suffix, so the name shown is the
// name saved.
void useSuffix(QFileDialog* dialog, const QString& suffix)
{
    dialog->setDefaultSuffix(suffix);
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!edit || suffix.isEmpty() || edit->text().isEmpty())
        return;
    QString name = edit->text();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        name.truncate(dot);
    edit->setText(name + QLatin1Char('.') + suffix);
}

void followTypeWithSuffix(QFileDialog* dialog, const FileFilter* filters, const QStringList& texts)
{
    QObject::connect(dialog, &QFileDialog::filterSelected, dialog, [=](const QString& text) {
        if (const int index = texts.indexOf(text); index >= 0)
            useSuffix(dialog, suffixOf(filters[index]));
    });
}

// The first local file among the dropped URLs; "" when there is none.
QString droppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return QString();
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return QString();
}

// Accepts drags of local files on the frame. The drop is handed on once it
// has ended, so a message box it leads to does not hold up the program the
// file came from.
class DropTarget : public QObject {
  public:
    DropTarget(Window* window, QObject* parent) : QObject(parent), window_(window) {}

  protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return false;
        auto* drop = static_cast<QDropEvent*>(event);
        const QString file = droppedFile(drop->mimeData());
        if (file.isEmpty())
            return false;
        drop->acceptProposedAction();
        if (type == QEvent::Drop)
            QTimer::singleShot(0, this, [window = window_, file] {
                const std::string path = file.toStdString();
                callProcedure(window, WM_DROPFILES, reinterpret_cast<WPARAM>(path.c_str()), 0);
            });
        return true;
    }

  private:
    Window* window_;
};

} // namespace

bool openFileDialog(Window* owner, const char* caption, const std::string& folder, const FileFilter* filters,
                    int filterCount, std::string& path)
{
    QFileDialog* dialog = makeFileDialog(owner, caption, folder, filterTexts(filters, filterCount));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    const bool chosen = runFileDialog(owner, dialog, path);
    delete dialog;
    return chosen;
}

bool saveFileDialog(Window* owner, const char* caption, const std::string& folder, const std::string& name,
                    const FileFilter* filters, int filterCount, std::string& path, int& filter)
{
    const QStringList texts = filterTexts(filters, filterCount);
    QFileDialog* dialog = makeFileDialog(owner, caption, folder, texts);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    if (filterCount > 0)
        dialog->setDefaultSuffix(suffixOf(filters[0]));
    dialog->selectFile(QString::fromStdString(name));
    followTypeWithSuffix(dialog, filters, texts);
    const bool chosen = runFileDialog(owner, dialog, path);
    filter = std::max(0, static_cast<int>(texts.indexOf(dialog->selectedNameFilter())));
    delete dialog;
    return chosen;
}

std::string documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QDir(documents).exists())
        return documents.toStdString();
    return QDir::homePath().toStdString();
}

std::string clipboardText()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->text().toStdString() : std::string();
}

void setClipboardText(const std::string& text)
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(QString::fromStdString(text));
}

void dragAcceptFiles(Window* window, bool accept)
{
    if (!window || !window->frame)
        return;
    QMainWindow* frame = window->frame;
    frame->setAcceptDrops(accept);
    // DropTarget has no meta-object of its own, so it is found by name.
    const QString name = QStringLiteral("reverse-drop-target");
    for (QObject* old : frame->findChildren<QObject*>(name, Qt::FindDirectChildrenOnly))
        delete old;
    if (accept) {
        auto* target = new DropTarget(window, frame);
        target->setObjectName(name);
        frame->installEventFilter(target);
    }
}

// Qt's dialogs (the file dialog, its questions, the line edits' menus) speak
// the program's language; without the translation installed they stay English.
void installQtTranslation()
{
    static QTranslator* translator = nullptr;
    if (translator || !qApp)
        return;
    translator = new QTranslator(qApp);
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}
