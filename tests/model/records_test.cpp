#include <gtest/gtest.h>

#include "model/channel.h"
#include "model/chromatogram.h"
#include "model/mixture.h"
#include "model/passport.h"
#include "model/peak.h"

namespace norvalt {
namespace {

TEST(Records, DefaultsAreTheValuesOfAnEmptyRecord)
{
    const Chromatogram c;
    EXPECT_TRUE(c.fileName.empty());
    EXPECT_EQ(c.mixtureIndex, -1);
    EXPECT_EQ(c.date, 0);
    EXPECT_EQ(c.kind, 6);  // Undetermined
    EXPECT_EQ(c.column, 2);
    EXPECT_FALSE(c.isCalibration);
    EXPECT_EQ(c.volume, 0.0);
    EXPECT_EQ(c.waterMassFraction, 0.0);
    EXPECT_TRUE(c.peaks.empty());

    const Peak p;
    EXPECT_EQ(p.left, -1);
    EXPECT_EQ(p.right, -1);
    EXPECT_EQ(p.flags, 0u);
    EXPECT_FALSE(p.reference);
    for (double v : {p.front, p.back, p.time, p.area, p.height, p.concent, p.front_base_height,
                     p.back_base_height, p.index})
        EXPECT_EQ(v, 0.0);

    const Passport passport;
    EXPECT_EQ(passport.assayid, u"00000000-0000-0000-0000-000000000000");
    EXPECT_TRUE(passport.path.empty());
    EXPECT_FALSE(passport.graduation);
    EXPECT_FALSE(passport.defect);
    EXPECT_TRUE(passport.columns.empty());
    EXPECT_TRUE(passport.values.empty());

    const Mixture m;
    EXPECT_EQ(m.id, 0);
    EXPECT_TRUE(m.components.empty());
}

TEST(Records, ChromatogramCopyOwnsItsPeaks)
{
    Chromatogram source;
    source.peaks.resize(2);
    source.peaks[0].name = u"ЭГ";
    source.peaks[0].area = 1.5;

    Chromatogram copy = source;
    copy.peaks[0].area = 7.0;
    copy.peaks[0].name = u"ДЭГ";
    copy.peaks.pop_back();

    ASSERT_EQ(source.peaks.size(), 2u);
    EXPECT_EQ(source.peaks[0].area, 1.5);
    EXPECT_EQ(source.peaks[0].name, u"ЭГ");
}

TEST(Records, ChannelCopyCarriesTheDataAndGetsItsOwnLock)
{
    const std::uint32_t words[] = {1, 2, 0xFFFFFFFFu};
    const Channel::BlockValue a{1, 2, 3, 4, 5, 6, 7, 8};
    const Channel::BlockValue b{9, 0, 0, 0, 0, 0, 0, 0xA0};
    Channel source(7, a, b, words, 3);
    EXPECT_TRUE(source.peaks.empty());
    source.peaks.emplace_back().time = 2.5;

    Channel copy = source;
    EXPECT_EQ(copy.number, 7u);
    EXPECT_EQ(copy.samples, (std::vector<std::uint32_t>{1, 2, 0xFFFFFFFFu}));
    EXPECT_EQ(copy.blockValueA, a);
    EXPECT_EQ(copy.blockValueB, b);
    ASSERT_EQ(copy.peaks.size(), 1u);
    EXPECT_EQ(copy.peaks[0].time, 2.5);

    // Holding the source's lock does not hold the copy's, and the other way round.
    {
        std::lock_guard<std::mutex> held(source.samplesLock);
        ASSERT_TRUE(copy.samplesLock.try_lock());
        copy.samplesLock.unlock();
    }
    copy.samples[0] = 42;
    EXPECT_EQ(source.samples[0], 1u);

    // Assignment into a channel keeps the target's lock usable.
    Channel target;
    target = source;
    EXPECT_EQ(target.samples.size(), 3u);
    ASSERT_TRUE(target.samplesLock.try_lock());
    target.samplesLock.unlock();

    // A growing list copies or moves its channels; their data must survive.
    std::vector<Channel> list;
    for (int i = 0; i < 20; ++i) list.push_back(source);
    EXPECT_EQ(list.front().samples, source.samples);
    EXPECT_EQ(list.back().peaks.size(), 1u);
}

} // namespace
} // namespace norvalt
