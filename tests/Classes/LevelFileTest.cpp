// The level file: attributes by position, markers by type, links, the renumbering at the
// end of reading, and files with faults.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Classes/Level/CLevel.h"
#include "Classes/Level/CLevelObject.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CWayPoint.h"
#include "LevelFixtures.h"

using namespace levelfixtures;

namespace {

class LevelFileTest : public ::testing::Test {
protected:
    bool Read(const std::string& body) {
        return level.ReadLevelFile(
            folder.Write("level.xml", "<?xml version=\"1.0\"?>\n<level>\n" + body + "</level>\n"));
    }
    boost::shared_ptr<CSpawnPoint> Marker(size_t i) const { return level.GetMarkers().at(i); }
    boost::shared_ptr<CWayPoint> WayPoint(size_t i) const { return level.GetWayPoints().at(i); }

    ScratchFolder folder;
    AssertionRecorder assertions;
    CLevel level{""};
};

const char kGrid[] = "<Grid w=\"10\" h=\"8\"/>\n";

}  // namespace

TEST_F(LevelFileTest, MarkersByTypeWithAttributesByPosition) {
    ASSERT_TRUE(Read(std::string("<Image file=\"ground.png\" a=\"1\"/>\n") + kGrid +
                     "<Marker id=\"10\" t=\"1\" c=\"2\" r=\"0\" x=\"99\" f=\"180\" attackerId=\"7\"/>\n"
                     "<Marker id=\"11\" t=\"3\" c=\"3\" r=\"2\" x=\"99\"/>\n"
                     "<Marker id=\"12\" t=\"5\" c=\"4\" r=\"4\" x=\"0\" v=\"1\" m=\"1\" s=\"0\" n=\"rock.pod\"/>\n"
                     "<Marker id=\"13\" t=\"2\" c=\"5\" r=\"1\" b=\"1\" f=\"90\" defenderId=\"3\"/>\n"
                     "<Marker id=\"14\" t=\"0\" c=\"9\" r=\"7\" f=\"270\"/>\n"
                     "<Marker id=\"15\" t=\"4\" c=\"0\" r=\"7\"/>\n"));
    EXPECT_TRUE(assertions.Messages().empty());
    EXPECT_EQ(10u, level.GetWidth());
    EXPECT_EQ(8u, level.GetHeight());
    ASSERT_EQ(3u, level.GetMarkers().size());
    ASSERT_EQ(2u, level.GetWayPoints().size());

    struct Expected {
        CLevelPoint* point;
        int32_t index, number, x, y, direction, kind, variant;
    };
    const Expected expected[] = {
        // Indices count spawn points and way points together; scenery takes none.
        {Marker(0).get(), 0, 7, 1250, 250, 180, CSpawnPoint::kAttackerEntry, 0},
        {WayPoint(0).get(), 1, 11, 1750, 1250, 0, 0, 0},
        {Marker(1).get(), 2, 3, 2750, 750, 90, CSpawnPoint::kDefenderSlot, 1},
        {Marker(2).get(), 3, -1, 4750, 3750, 270, CSpawnPoint::kKeeperPlace, 0},
        {WayPoint(1).get(), 4, 15, 250, 3750, 0, 0, 0},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.index);
        EXPECT_EQ(e.index, e.point->GetId());
        EXPECT_EQ(e.number, e.point->GetNumber());
        EXPECT_EQ(e.x, e.point->GetPosition().x);
        EXPECT_EQ(e.y, e.point->GetPosition().y);
        EXPECT_EQ(0, e.point->GetPosition().z);
        EXPECT_EQ(e.direction, e.point->GetDirection());
        EXPECT_EQ(&level, e.point->GetLevel());
        if (e.kind != 0) {
            const CSpawnPoint* spot = static_cast<const CSpawnPoint*>(e.point);
            EXPECT_EQ(e.kind, spot->GetKind());
            EXPECT_EQ(e.variant, spot->GetVariant());
            EXPECT_EQ(1, spot->GetPathValue());
        }
    }
    const CLevelObject* rock = level.GetCell(4, 4)->GetObject();
    ASSERT_NE(nullptr, rock);
    EXPECT_EQ("rock.pod", rock->GetName());
    EXPECT_EQ(2250, rock->GetPosition().x);
    EXPECT_EQ(1, rock->GetShown());
    EXPECT_EQ(1, rock->BlocksWalking());
    EXPECT_EQ(0, rock->BlocksMissiles());
    EXPECT_EQ(-1, rock->GetId());
}

TEST_F(LevelFileTest, OptionalAttributesCountByPosition) {
    ASSERT_TRUE(Read(std::string(kGrid) +
                     "<Marker id=\"1\" t=\"2\" c=\"1\" r=\"1\" defenderId=\"4\"/>\n"  // five with the id
                     "<Marker id=\"2\" t=\"2\" c=\"2\" r=\"1\"/>\n"                   // four
                     "<Marker id=\"3\" t=\"2\" c=\"3\" r=\"1\" b=\"1\"/>\n"           // five: facing still 0
                     "<Marker id=\"4\" t=\"0\" c=\"4\" r=\"1\"/>\n"                   // keeper without facing
                     "<Marker id=\"5\" t=\"1\" c=\"5\" r=\"1\" f=\"90\"/>\n"          // five: position 4 unread
                     "<Marker id=\"6\" t=\"2.9\" c=\"6.7\" r=\"1\" b=\"x\" f=\"-45.5\"/>\n"));
    ASSERT_EQ(6u, level.GetMarkers().size());
    // The first spot's fifth attribute is its "defenderId": read by position as the variant.
    EXPECT_EQ(4, Marker(0)->GetVariant());
    EXPECT_EQ(4, Marker(0)->GetNumber());
    EXPECT_EQ(0, Marker(1)->GetVariant());
    EXPECT_EQ(0, Marker(1)->GetDirection());
    EXPECT_EQ(0, Marker(1)->GetNumber());  // no "defenderId": 0
    EXPECT_EQ(1, Marker(2)->GetVariant());
    EXPECT_EQ(0, Marker(2)->GetDirection());
    EXPECT_EQ(0, Marker(3)->GetDirection());
    EXPECT_EQ(0, Marker(4)->GetDirection());
    // Fractions are truncated, text that is no number reads 0.
    EXPECT_EQ(CSpawnPoint::kDefenderSlot, Marker(5)->GetKind());
    EXPECT_EQ(3250, Marker(5)->GetPosition().x);
    EXPECT_EQ(0, Marker(5)->GetVariant());
    EXPECT_EQ(-45, Marker(5)->GetDirection());
}

TEST_F(LevelFileTest, LinksLeadToWayPointsNamedEarlier) {
    ASSERT_TRUE(Read(std::string(kGrid) +
                     "<Marker id=\"1\" t=\"1\" c=\"0\" r=\"0\" x=\"0\" f=\"0\" attackerId=\"1\"/>\n"
                     "<Marker id=\"2\" t=\"3\" c=\"1\" r=\"1\"/>\n"
                     "<Marker id=\"3\" t=\"4\" c=\"2\" r=\"2\"/>\n"
                     "<Marker id=\"1\" t=\"3\" c=\"3\" r=\"3\"/>\n"  // shares its id with the spawn point
                     "<LinkTo id=\"2\"/>\n"                          // no source yet
                     "<MarkerFrom id=\"1\"><LinkTo id=\"3\"/><LinkTo id=\"2\"/><LinkTo id=\"3\"/></MarkerFrom>\n"
                     "<MarkerFrom id=\"2\"/><LinkTo id=\"1\"/>\n"  // the end tag changes nothing
                     "<MarkerFrom id=\"3\"><LinkTo id=\"9\"/></MarkerFrom>\n"
                     "<LinkTo id=\"3\"/>\n"));
    // The spawn point is found before the way point of the same id, in file order.
    const CLevelPoint::Links& links = Marker(0)->GetLinks();
    ASSERT_EQ(3u, links.size());
    EXPECT_EQ(WayPoint(1), links[0]);
    EXPECT_EQ(WayPoint(0), links[1]);
    EXPECT_EQ(WayPoint(1), links[2]);
    ASSERT_EQ(1u, WayPoint(0)->GetLinks().size());
    EXPECT_EQ(WayPoint(2), WayPoint(0)->GetLinks()[0]);
    ASSERT_EQ(1u, WayPoint(1)->GetLinks().size());  // the dangling link to 9 was dropped
    EXPECT_EQ(WayPoint(1), WayPoint(1)->GetLinks()[0]);
    EXPECT_TRUE(WayPoint(2)->GetLinks().empty());
    // Two unresolvable links: the one without a source and the one to 9.
    EXPECT_EQ(2u, assertions.Messages().size());

    // Spawn points pick a link by a number: links[number mod count].
    EXPECT_EQ(links[1], Marker(0)->GetLink(7));
    EXPECT_EQ(links[2], Marker(0)->GetLink(-1));
    EXPECT_EQ(nullptr, WayPoint(2)->GetLink(3).get());
}

TEST_F(LevelFileTest, LinkToASpawnPointIsReportedAndDropped) {
    ASSERT_TRUE(Read(std::string(kGrid) + "<Marker id=\"1\" t=\"3\" c=\"1\" r=\"1\"/>\n"
                                          "<Marker id=\"2\" t=\"2\" c=\"2\" r=\"2\"/>\n"
                                          "<MarkerFrom id=\"1\"/><LinkTo id=\"2\"/>\n"));
    EXPECT_TRUE(WayPoint(0)->GetLinks().empty());
    EXPECT_EQ(1u, assertions.Messages().size());
}

TEST_F(LevelFileTest, MarkerIdsAreRemappedAtTheEnd) {
    ASSERT_TRUE(Read(std::string(kGrid) +
                     "<Marker id=\"5\" t=\"0\" c=\"1\" r=\"1\"/>\n"
                     "<Marker id=\"6\" t=\"1\" c=\"2\" r=\"1\" x=\"0\" f=\"0\" attackerId=\"2\"/>\n"
                     "<Marker id=\"7\" t=\"1\" c=\"3\" r=\"1\" x=\"0\" f=\"0\" attackerId=\"1\"/>\n"
                     "<Marker id=\"8\" t=\"2\" c=\"4\" r=\"1\" b=\"0\" f=\"0\" defenderId=\"1\"/>\n"
                     "<Marker id=\"9\" t=\"3\" c=\"5\" r=\"1\"/>\n"));
    EXPECT_EQ(-1, Marker(0)->GetNumber());
    EXPECT_EQ(2, Marker(1)->GetNumber());
    EXPECT_EQ(1, Marker(2)->GetNumber());
    EXPECT_EQ(1, Marker(3)->GetNumber());
    EXPECT_EQ(9, WayPoint(0)->GetNumber());

    // Look-ups by kind and remapped id, by index, by object.
    EXPECT_EQ(Marker(2), level.FindSpawnPoint(CSpawnPoint::kAttackerEntry, 1).lock());
    EXPECT_EQ(Marker(3), level.FindSpawnPoint(CSpawnPoint::kDefenderSlot, 1).lock());
    EXPECT_TRUE(level.FindSpawnPoint(CSpawnPoint::kKeeperPlace, 5).expired());
    EXPECT_EQ(Marker(1), level.FindMarker(1));
    EXPECT_EQ(WayPoint(0), level.FindWayPoint(4));
    EXPECT_EQ(nullptr, level.FindWayPoint(1).get());
    EXPECT_EQ(Marker(3), level.FindMarkerByObject(Marker(3).get()).lock());
    EXPECT_EQ(Marker(3), Marker(3)->GetShared());

    std::vector<boost::weak_ptr<CSpawnPoint>>& entries = level.GetSpawnPoints(CSpawnPoint::kAttackerEntry);
    EXPECT_EQ(2u, entries.size());
    std::vector<boost::weak_ptr<CSpawnPoint>>& all = level.GetSpawnPoints(0);
    EXPECT_EQ(&entries, &all);  // one vector, refilled by every call
    EXPECT_EQ(4u, entries.size());
    EXPECT_EQ(1u, level.GetSpawnPoints(CSpawnPoint::kKeeperPlace).size());
}

TEST_F(LevelFileTest, SceneryNeedsAGridAndKeepsOneObjectPerCell) {
    ASSERT_TRUE(Read("<Marker id=\"0\" t=\"5\" c=\"1\" r=\"1\" x=\"0\" v=\"1\" m=\"1\" s=\"1\" n=\"tree.pod\"/>\n" +
                     std::string(kGrid) +
                     "<Marker id=\"0\" t=\"5\" c=\"2\" r=\"2\" x=\"0\" v=\"1\" m=\"1\" s=\"1\" n=\"tree.pod\"/>\n"
                     "<Marker id=\"0\" t=\"5\" c=\"2\" r=\"2\" x=\"0\" v=\"0\" m=\"0\" s=\"1\"/>\n"
                     "<Marker id=\"0\" t=\"5\" c=\"10\" r=\"2\" x=\"0\" v=\"1\" m=\"1\" s=\"1\" n=\"a.pod\"/>\n"
                     "<Marker id=\"0\" t=\"5\" c=\"-1\" r=\"2\" x=\"0\" v=\"1\" m=\"1\" s=\"1\" n=\"a.pod\"/>\n"
                     "<Marker id=\"1\" t=\"3\" c=\"3\" r=\"3\"/>\n"));
    EXPECT_FALSE(level.GetCell(1, 1)->HasObject());
    const CLevelObject* replaced = level.GetCell(2, 2)->GetObject();
    ASSERT_NE(nullptr, replaced);
    EXPECT_EQ("", replaced->GetName());
    EXPECT_EQ(0, replaced->BlocksWalking());
    EXPECT_EQ(1, replaced->BlocksMissiles());
    EXPECT_EQ(0, WayPoint(0)->GetId());  // scenery takes no index
    // A later grid replaces the scenery with the cells.
    ASSERT_TRUE(Read(kGrid));
    EXPECT_FALSE(level.GetCell(2, 2)->HasObject());
}

TEST_F(LevelFileTest, FaultyFilesAreHandledWithoutStopping) {
    // Unknown types fail their assertion and are skipped; points off the grid are
    // dropped with the links to them.
    ASSERT_TRUE(Read(std::string(kGrid) + "<Marker id=\"1\" t=\"6\" c=\"1\" r=\"1\"/>\n"
                                          "<Marker id=\"2\" t=\"-1\" c=\"1\" r=\"1\"/>\n"
                                          "<Marker id=\"3\" t=\"3\" c=\"1\" r=\"1\"/>\n"
                                          "<Marker id=\"4\" t=\"3\" c=\"10\" r=\"1\"/>\n"
                                          "<Marker id=\"5\" t=\"2\" c=\"1\" r=\"-1\"/>\n"
                                          "<Marker id=\"6\" t=\"1\" c=\"2000000000\" r=\"1\"/>\n"
                                          "<Marker id=\"7\" t=\"2\" c=\"3\" r=\"3\"/>\n"
                                          "<MarkerFrom id=\"7\"><LinkTo id=\"4\"/><LinkTo id=\"3\"/></MarkerFrom>\n"
                                          "<MarkerFrom id=\"4\"><LinkTo id=\"3\"/></MarkerFrom>\n"));
    EXPECT_EQ((std::vector<std::string>(2, "Unknown marker type - check your config or update source code")),
              assertions.Messages());
    ASSERT_EQ(1u, level.GetWayPoints().size());
    EXPECT_EQ(0, WayPoint(0)->GetId());
    ASSERT_EQ(1u, level.GetMarkers().size());
    EXPECT_EQ(4, Marker(0)->GetId());  // indices stay as read
    ASSERT_EQ(1u, Marker(0)->GetLinks().size());
    EXPECT_EQ(WayPoint(0), Marker(0)->GetLinks()[0]);

    // A missing file fails its assertion and leaves the level as it was.
    EXPECT_FALSE(level.ReadLevelFile(folder.Path() + "/missing.xml"));
    ASSERT_EQ(3u, assertions.Messages().size());
    EXPECT_EQ("Could not open file for reading", assertions.Messages()[2]);
    EXPECT_EQ(1u, level.GetMarkers().size());
    EXPECT_TRUE(level.HasGrid());

    // Negative or zero sides give no grid; huge ones are cut.
    ASSERT_TRUE(Read("<Grid w=\"-3\" h=\"4\"/>"));
    EXPECT_FALSE(level.HasGrid());
    ASSERT_TRUE(Read("<Grid w=\"5e12\" h=\"2\"/>"));
    EXPECT_EQ(CLevel::kMaxGridSide, level.GetWidth());
}

TEST_F(LevelFileTest, ADamagedFileIsRefusedAsAMissingOne) {
    ASSERT_TRUE(Read(std::string(kGrid) + "<Marker id=\"1\" t=\"3\" c=\"1\" r=\"1\"/>\n"));
    for (const char* body : {"<Marker <<< id=\"1\"", "<Marker id>", "<!-- x", "<!x>", "< "}) {
        testing::internal::CaptureStderr();
        EXPECT_FALSE(Read(std::string("<Marker id=\"2\" t=\"3\" c=\"2\" r=\"2\"/>\n") + body)) << body;
        EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("level.xml: line ")) << body;
    }
    EXPECT_EQ(1u, level.GetWayPoints().size()) << "the level stays as it was";
    EXPECT_TRUE(level.HasGrid());
}

TEST_F(LevelFileTest, ALevelWithoutAGridKeepsItsMarkers) {
    ASSERT_TRUE(
        Read("<Marker id=\"1\" t=\"2\" c=\"1\" r=\"1\"/>\n"
             "<Marker id=\"2\" t=\"3\" c=\"40\" r=\"-1\"/>\n"
             "<MarkerFrom id=\"1\"><LinkTo id=\"2\"/></MarkerFrom>\n"));
    EXPECT_FALSE(level.HasGrid());
    ASSERT_EQ(1u, level.GetMarkers().size());
    ASSERT_EQ(1u, level.GetWayPoints().size());
    EXPECT_EQ(750, Marker(0)->GetPosition().x);
    ASSERT_EQ(1u, Marker(0)->GetLinks().size());
    EXPECT_EQ(WayPoint(0), Marker(0)->GetLinks()[0]);
}

TEST_F(LevelFileTest, ClearEmptiesTheLevelAndFreesLoopedRoutes) {
    ASSERT_TRUE(Read(std::string(kGrid) + "<Marker id=\"1\" t=\"3\" c=\"1\" r=\"1\"/>\n"
                                          "<Marker id=\"2\" t=\"3\" c=\"2\" r=\"1\"/>\n"
                                          "<MarkerFrom id=\"1\"><LinkTo id=\"2\"/></MarkerFrom>\n"
                                          "<MarkerFrom id=\"2\"><LinkTo id=\"1\"/></MarkerFrom>\n"
                                          "<Marker id=\"3\" t=\"0\" c=\"4\" r=\"4\"/>\n"));
    const boost::weak_ptr<CWayPoint> first = WayPoint(0);
    const boost::weak_ptr<CWayPoint> second = WayPoint(1);
    level.Clear();
    EXPECT_TRUE(first.expired());
    EXPECT_TRUE(second.expired());
    EXPECT_TRUE(level.GetMarkers().empty());
    EXPECT_FALSE(level.HasGrid());
    EXPECT_EQ(0, level.SpawnKeeper());
}

TEST(LevelMapTest, AnUnknownMapLeavesAnEmptyLevel) {
    CLevel level("NoSuchMap");
    EXPECT_EQ(nullptr, level.GetMapDefinition());
    EXPECT_FALSE(level.HasGrid());
    EXPECT_TRUE(level.GetMarkers().empty());
    EXPECT_EQ(nullptr, level.GetCellAt(0, 0));
}
