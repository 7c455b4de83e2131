#pragma once
// The common routines every window and class of Tagwell shares.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QVariant>

class ScreenPointer;
class SettingsStore;

// True when the text is empty after trimming space characters (only code 32: a tab is not blank).
bool IsBlank(const QString& text);

// The text without the space characters at either end, the one trimming the stores' files and
// databases know: a tab, a line break or any other white space is part of the value.
QString trimSpaces(QStringView text);
QByteArray trimSpaces(QByteArrayView bytes);

// True when `path` names a normal file (not a directory, not hidden); wildcards match when at
// least one normal file does. Never throws; a path that cannot be asked about gives false.
bool FileExists(const QString& path);

// A database null becomes the empty value (reads "" as text and 0 as a number); anything else is
// returned unchanged.
QVariant NullToEmpty(const QVariant& value);

// The busy pointer. Remembers the pointer that was showing before the first ShowHourglass(true)
// and puts it back at the first ShowHourglass(false); there is no nesting count.
class Hourglass {
public:
    explicit Hourglass(ScreenPointer& screen) : screen_(screen) {}
    void ShowHourglass(bool on);

private:
    ScreenPointer& screen_;
    int savedPointer_ = 0;
};

// A window whose place can be saved and restored. Positions are twips; WindowState is
// 0 normal, 1 minimized, 2 maximized.
class PositionedWindow {
public:
    virtual ~PositionedWindow() = default;
    virtual QString Name() const = 0;
    virtual int WindowState() const = 0;
    virtual double Top() const = 0;
    virtual double Left() const = 0;
    virtual double Height() const = 0;
    virtual double Width() const = 0;
    virtual void setTop(double twips) = 0;
    virtual void setLeft(double twips) = 0;
    virtual void setHeight(double twips) = 0;
    virtual void setWidth(double twips) = 0;
};

void SaveFormPosition(SettingsStore& store, const QString& app, const QString& section,
                      const PositionedWindow& window);
void RestoreFormPosition(SettingsStore& store, const QString& app, const QString& section,
                         PositionedWindow& window);
