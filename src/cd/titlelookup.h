#pragma once

// Finds the release a scanned disc is. When the user wants discs looked up online, the
// databases are asked in the background; then one release is settled on: the only one found
// by the disc's id, the one the user chose for this disc before, or the one the user picks now
// among several or among guesses (found by track lengths: even a single guess is only offered).
// While a rip holds the drive, an answer waits, and the choice with it, until the rip is over.
// The window never waits on the network, and a lookup of a disc that was replaced meanwhile
// (a rescan, another drive) is dropped, never applied to the new one.

#include "common/disctoc.h"
#include "metadata/disclookup.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

// What the databases are asked about the disc with this table of contents.
DiscQuery QueryOfDisc(const DiscToc& toc);

class TitleLookup : public QObject {
    Q_OBJECT
public:
    // The position of the release picked among several, or -1 for none of them.
    using Choice = std::function<int(const QList<ReleaseInfo>& releases)>;

    TitleLookup(std::function<bool()> online, Choice choose, QObject* parent = nullptr);
    ~TitleLookup() override;

    void setChoice(Choice choose) { m_choose = std::move(choose); }

    // Starts once the events queued now have run, so the settings loaded at start-up decide
    // whether the databases are asked. Drops any lookup still running.
    void start(const DiscQuery& query);
    // Drops any lookup still running, without a signal.
    void cancel();
    // Holds an answer back, unsettled, while held; an answer that came meanwhile settles once
    // the hold ends.
    void setHeld(bool held);
    // Started and not settled yet.
    bool pending() const { return m_pending; }

signals:
    // Once per start: the release the disc is (source None when nothing was found or the user
    // chose none) and what each place answered, in words.
    void settled(const ReleaseInfo& release, const QStringList& steps);

private:
    void Ask();
    void Answered(const LookupResult& result);
    void Settle(LookupResult result);
    int Pick(LookupResult& result);
    int AskUser(LookupResult& result);

    std::function<bool()> m_online;
    Choice m_choose;
    std::unique_ptr<DiscLookup> m_lookup;
    DiscQuery m_query;
    int m_serial = 0; // which start an answer belongs to
    bool m_pending = false;
    bool m_held = false;
    std::optional<LookupResult> m_heldAnswer;
};
