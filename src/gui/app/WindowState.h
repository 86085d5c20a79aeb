// The window's state, owned here and nowhere else: the page shown, whether the About panel
// covers it, the task and its folders, the run on the last page, each page's verdict and the
// handlers at work. Every button's enabled state and Next's caption are derived from it in one
// place; the window's hidden labels and validate buttons only mirror it.
#pragma once

#include "core/BackupRun.h"

#include <QString>

#include <array>

enum class RunState { Idle, Running, Stopping, Finished };

// What happens to the window, as far as its buttons are concerned.
enum class WindowEvent {
    PageLeftForward, // Next, after the page passed its check
    PageLeftBack,
    AboutOpened,
    AboutClosed,
    RunStarted,
    StopRequested, // the program is to end while the run goes on
    RunEnded,
};

struct ButtonStates
{
    bool back = false;
    bool next = false;
    QString nextCaption;
    bool operator==(const ButtonStates&) const = default;
};

class WindowState
{
public:
    static constexpr int PageCount = 4;
    static constexpr int LastPage = PageCount - 1;
    static const QString NextCaption;
    static const QString DoItCaption;

    int page() const { return m_page; }
    RunState run() const { return m_run; }
    bool aboutShown() const { return m_aboutShown; }
    // A handler at work, or a run going on (whatever a handler called meanwhile did).
    bool busy() const { return m_handlersAtWork > 0 || runGoingOn(); }
    bool runGoingOn() const { return m_run == RunState::Running || m_run == RunState::Stopping; }

    // Applies an event; one that cannot happen in the current state changes nothing and
    // answers false (Next during a run, Back on the first page, a second run).
    bool apply(WindowEvent event);
    ButtonStates buttons() const;

    // The task chosen on the first page.
    Direction direction() const { return m_direction; }
    void setDirection(Direction direction) { m_direction = direction; }
    // The folders copied from and to, each with its trailing separator, as the folder page last
    // passed them for the task then chosen; empty until then.
    const QString& source() const { return m_source; }
    const QString& target() const { return m_target; }
    void setFolders(const QString& icqFolder, const QString& backupFolder, bool newestSets = false);
    // A restore from a folder of dated sets that takes each component from the newest complete
    // set holding it; the source is then the folder of the sets.
    bool fromNewestSets() const { return m_newestSets; }

    // The verdict of a page's last check; every page starts unchecked.
    bool pageValid(int page) const { return m_valid.at(static_cast<std::size_t>(page)); }
    void setPageValid(int page, bool valid) { m_valid.at(static_cast<std::size_t>(page)) = valid; }
    // What a page says when it refuses to be left: its designed message until a check of the
    // page gives its own reason, which then stays until the next one.
    const QString& pageRefusal(int page) const
    {
        return m_refusal.at(static_cast<std::size_t>(page));
    }
    void setPageRefusal(int page, const QString& refusal)
    {
        m_refusal.at(static_cast<std::size_t>(page)) = refusal;
    }

    void handlerStarted() { ++m_handlersAtWork; }
    void handlerEnded() { --m_handlersAtWork; }

private:
    int m_page = 0;
    RunState m_run = RunState::Idle;
    bool m_aboutShown = false;
    int m_handlersAtWork = 0;
    Direction m_direction = Direction::Backup;
    QString m_source;
    QString m_target;
    bool m_newestSets = false;
    std::array<bool, PageCount> m_valid{};
    std::array<QString, PageCount> m_refusal = designedRefusals();
    static std::array<QString, PageCount> designedRefusals();
};
