// The discovery benchmark's vendor tree in the real HKEY_CURRENT_USER:
// 10,000 keys under SOFTWARE\Gstarsoft\GstarCAD, four release keys R23 to
// R26, each with language variants, sections and items; one item per
// section is an installation (it holds "Location").
#pragma once

// Key paths under HKEY_CURRENT_USER.
constexpr char kVendorKeyPath[] = "SOFTWARE\\Gstarsoft";
constexpr char kVendorTreeProductPath[] = "SOFTWARE\\Gstarsoft\\GstarCAD";

constexpr int kVendorTreeReleases = 4;
constexpr int kVendorTreeVariants = 3;
constexpr int kVendorTreeSections = 32;  // per variant
constexpr int kVendorTreeItems = 25;     // per section
// Release keys, variants, sections and items together.
constexpr int kVendorTreeKeyCount =
    kVendorTreeReleases *
    (1 + kVendorTreeVariants * (1 + kVendorTreeSections * (1 + kVendorTreeItems)));
constexpr int kVendorTreeInstallations =
    kVendorTreeReleases * kVendorTreeVariants * kVendorTreeSections;

static_assert(kVendorTreeKeyCount == 10000, "the benchmark's tree has 10,000 keys");

// Lays the tree out afresh (any old product key is removed first); false
// when a key or value could not be written.
bool BuildVendorTree();

// Removes the whole vendor key; true when it is gone.
bool RemoveVendorTree();
