// The places an uninstall may touch: a record's own lines never widen them.
#include <gtest/gtest.h>

#include "record/served_places.h"
#include "tests/support/other_names.h"

namespace {

using Place = ServedPlaces::Place;

const OtherNames kNames({{"c:\\torvex~1", "c:\\torvex"}, {"e:\\link", "d:\\cad"}});

ServedPlaces Places() {
    ServedPlaces places("C:\\Torvex\\T-ZozerIded", kNames);
    places.AddHost("D:\\CAD\\GstarCAD2025", "SOFTWARE\\Gstarsoft\\GstarCAD\\R25\\zh-CN\\");
    places.AddSettingsFolder("C:\\Users\\u\\AppData\\Roaming\\Torvex");
    return places;
}

TEST(ServedPlaces, APathCountsOnlyDirectlyInAPlaceItServes) {
    const ServedPlaces places = Places();
    const struct {
        const char* path;
        Place place;
    } cases[] = {
        {"C:\\Torvex\\T-ZozerIded\\TX_ZozerIded2023.grx", Place::InstallFolder},
        {"c:/torvex/t-zozerided/./TX_ZozerIded2023.grx", Place::InstallFolder},
        {"C:\\Torvex\\T-ZozerIded\\Kept\\itextsharp.dll", Place::KeptFiles},
        {"D:\\CAD\\GstarCAD2025\\GCAD2024P.dll", Place::HostFolder},
        {"D:\\CAD\\GstarCAD2025\\Fonts\\Torvex_EN.shx", Place::HostFonts},
        {"C:\\Users\\u\\AppData\\Roaming\\Torvex\\Torvex.Ini", Place::Settings},
        // What a record may claim, and must not get.
        {"C:\\victim2\\secret2.txt", Place::None},
        {"C:\\Torvex\\T-ZozerIded\\../../victim/secret.txt", Place::None},
        {"C:\\Torvex\\T-ZozerIded\\sub\\deeper.dll", Place::None},
        {"D:\\CAD\\GstarCAD2025\\bin\\x.dll", Place::None},
        {"C:\\Torvex\\T-ZozerIded\\a.dll:stream", Place::None},
        // Other names of the same places.
        {"C:\\TORVEX~1\\T-ZozerIded\\Kept\\itextsharp.dll", Place::KeptFiles},
        {"E:\\Link\\GstarCAD2025\\GCAD2024P.dll", Place::HostFolder},
        {"C:\\TORVEX~1\\sub\\x.dll", Place::None},
    };
    for (const auto& c : cases) EXPECT_EQ(places.PlaceOf(c.path), c.place) << c.path;
    // Acted on in the place's own name.
    EXPECT_EQ(places.Locate("c:\\torvex~1\\t-zozerided\\.\\TX.grx").path,
              "C:\\Torvex\\T-ZozerIded\\TX.grx");
}

TEST(ServedPlaces, FoldersAndKeysTheInstallationMayHaveMade) {
    const ServedPlaces places = Places();
    EXPECT_TRUE(places.MayHaveCreated("C:\\Torvex"));
    EXPECT_TRUE(places.MayHaveCreated("C:\\TORVEX~1"));
    EXPECT_TRUE(places.IsInstallFolder("c:\\torvex~1\\t-zozerided"));
    EXPECT_TRUE(ServedPlaces("D:\\Apps\\Torvex\\T-ZozerIded", kNames).MayHaveCreated("d:\\apps"));
    EXPECT_TRUE(places.MayHaveCreated("C:\\Torvex\\T-ZozerIded\\"));
    EXPECT_TRUE(places.MayHaveCreated("C:\\Torvex\\T-ZozerIded\\Kept"));
    EXPECT_FALSE(places.MayHaveCreated("C:\\victimdir"));
    EXPECT_FALSE(places.MayHaveCreated("D:\\CAD\\GstarCAD2025"));
    const char* host = "SOFTWARE\\Gstarsoft\\GstarCAD\\R25\\zh-CN\\";
    EXPECT_TRUE(places.IsApplicationsKey((std::string(host) + "Applications").c_str()));
    EXPECT_TRUE(
        places.IsApplicationsKey((std::string(host) + "applications\\TX_ZozerIded2025").c_str()));
    EXPECT_FALSE(places.IsApplicationsKey((std::string(host) + "Applications\\a\\b").c_str()));
    EXPECT_FALSE(places.IsApplicationsKey("SOFTWARE\\Microsoft\\Windows\\Applications\\x"));
    EXPECT_FALSE(ServedPlaces("relative\\folder", kNames).IsValid());
}

}  // namespace
