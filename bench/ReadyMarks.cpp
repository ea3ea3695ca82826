// SPDX-License-Identifier: GPL-3.0-or-later
// Preloaded (LD_PRELOAD) into the real rigdeck by the benchmark probe. It
// notes on the monotonic clock, in the file named by RIGDECK_BENCH_MARKS,
// when the application object exists, when the main window starts being
// built, when it is shown, when the platform first exposes it and when the
// event loop is next free after that (the window painted). The probe reads
// the file; the program is the one that ships, untouched.

#include <QCoreApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

void writeMark(const char *name)
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const char *path = std::getenv("RIGDECK_BENCH_MARKS");
    if (path == nullptr) {
        return;
    }
    // Opened per mark: five marks a run, and nothing stays open that the
    // program could trip over.
    std::FILE *file = std::fopen(path, "a");
    if (file == nullptr) {
        return;
    }
    std::fprintf(file, "%s %lld\n", name, static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    std::fclose(file);
}

class MarkFilter : public QObject
{
public:
    explicit MarkFilter(QObject *parent)
        : QObject(parent)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_building && qobject_cast<QMainWindow *>(watched) != nullptr) {
            // The base class sends its first child event from inside the
            // window's constructor.
            m_building = true;
            writeMark("building");
        }
        if (!m_shown && event->type() == QEvent::Show && qobject_cast<QMainWindow *>(watched) != nullptr) {
            m_shown = true;
            writeMark("shown");
        }
        if (!m_exposed && event->type() == QEvent::Expose && qobject_cast<QWindow *>(watched) != nullptr) {
            m_exposed = true;
            writeMark("exposed");
            // Runs once the expose event, and the painting it causes, is done.
            QTimer::singleShot(0, this, [] { writeMark("painted"); });
        }
        return false;
    }

private:
    bool m_building = false;
    bool m_shown = false;
    bool m_exposed = false;
};

void installMarks()
{
    writeMark("application");
    QCoreApplication *app = QCoreApplication::instance();
    app->installEventFilter(new MarkFilter(app));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installMarks)
