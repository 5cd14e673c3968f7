#include "platform/win32/volume_claim.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::VolumeClaim;

// Records the calls made, answers as scripted.
struct Calls {
    bool lockWorks = false;
    bool dismountWorks = false;
    std::string made;
    auto Lock()
    {
        return [this] { made += "lock "; return lockWorks; };
    }
    auto Dismount()
    {
        return [this] { made += "dismount "; return dismountWorks; };
    }
};

TEST(VolumeClaim, WritingLocksOrElseDismountsOrElseGoesOn)
{
    struct Case {
        bool lockWorks, dismountWorks;
        VolumeClaim claim;
        const char* calls;
    };
    for (const Case& c : {Case{true, true, VolumeClaim::Locked, "lock "},
                          Case{false, true, VolumeClaim::Dismounted, "lock dismount "},
                          Case{false, false, VolumeClaim::Unclaimed, "lock dismount "}}) {
        Calls calls{c.lockWorks, c.dismountWorks, ""};
        EXPECT_EQ(platform::ClaimForWriting(calls.Lock(), calls.Dismount()), c.claim);
        EXPECT_EQ(calls.made, c.calls);
    }
}

TEST(VolumeClaim, ReadingLocksWhenItCanAndNeverDismounts)
{
    for (bool lockWorks : {true, false}) {
        Calls calls{lockWorks, true, ""};
        EXPECT_EQ(platform::ClaimForReading(calls.Lock()), lockWorks ? VolumeClaim::Locked : VolumeClaim::Unclaimed);
        EXPECT_EQ(calls.made, "lock ");
    }
}

}  // namespace
