// The disc ids against published values, and on an enhanced CD whose data track counts for
// AccurateRip's lead-out and freedb but not for MusicBrainz.

#include "verify/discids.h"

#include <gtest/gtest.h>

// LBAs as the published examples give them, the lead-out last.
static DiscToc Toc(QList<qint32> lbas, int dataTrack = 0, qint32 audioLeadOutLba = 0) {
    DiscToc toc;
    toc.leadOut = lbas.takeLast() - kLbaOfLsn0;
    toc.audioLeadOut = audioLeadOutLba ? audioLeadOutLba - kLbaOfLsn0 : toc.leadOut;
    for (qint32 lba : lbas)
        toc.tracks.append({lba - kLbaOfLsn0, toc.tracks.size() + 1 != dataTrack});
    return toc;
}

TEST(DiscIds, MatchPublishedValuesAndEnhancedCd) {
    const struct {
        DiscToc toc;
        const char* want[4]; // AccurateRip path, freedb, MusicBrainz id and toc; "": unknown
    } cases[] = {
        {Toc({182, 97135, 166572, 265107}),
         {"accuraterip/c/0/0/dBAR-003-0008100c-001ac008-190dcc03.bin", "190dcc03", "", ""}},
        {Toc({150,    9700,   25887,  39297,  53795,  63735,  77517,  94877,
              107270, 123552, 135522, 148422, 161197, 174790, 192022, 205545,
              218010, 228700, 239590, 255470, 266932, 288750, 303602}),
         {"", "370fce16", "xUp1F2NkfP8s8jaeFn_Av3jNEI4-", ""}},
        // Audio at LSN 0 (which counts as 1 in id2), 10000 and 20000 up to 28600, data from
        // 40000 to 50000.
        {Toc({150, 10150, 20150, 40150, 50150}, 4, 28750),
         {"accuraterip/0/8/8/dBAR-003-00013880-000445c1-28029a04.bin", "28029a04",
          "s1gZA4b1gQb9TeMNgCcGXOGbQE8-", "1+3+28750+150+10150+20150"}},
    };
    for (const auto& c : cases) {
        const QStringList got{AccurateRipPath(AccurateRipDiscIds(c.toc)), FreedbIdText(c.toc),
                              MusicBrainzDiscId(c.toc), MusicBrainzToc(c.toc)};
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(!*c.want[i] || got[i] == c.want[i]) << got[i].toStdString();
    }
}
