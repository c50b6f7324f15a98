#pragma once
// What the screenshot takers share: a private program folder made from the
// shipped files, and saving a window as a PNG.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <utility>

class QWidget;

// A temporary program folder, made the library's program folder: the default
// ymconfig.ini and, in Data/, the given word lists (name and content).
class ShotFolder {
public:
    explicit ShotFolder(const QList<std::pair<QString, QByteArray>>& wordLists);
    bool ready() const { return m_ready; }

private:
    QTemporaryDir m_dir;
    bool m_ready = false;
};

// The shipped word list of that name, as built.
QByteArray ShippedWordList(const QString& name);

// The output folder named by the only argument; prints the usage otherwise.
bool OutputFolder(int argc, char** argv, QString& folder);

// Shows the window if need be, waits until it is on screen and saves it.
bool SaveShot(QWidget* window, const QString& folder, const QString& name);
