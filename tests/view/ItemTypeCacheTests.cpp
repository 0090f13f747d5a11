// Type names and icons kept per extension: for every name a camera may list, exactly what
// the item manager (and so the folder's CompareIDs) answers.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "items/ItemIdManager.h"
#include "items/ItemTypeCache.h"

namespace {

// Plain names of several extensions and cases, 8.3 names with blanks, and names the shell
// could read as paths or that end in a dot or a blank.
const std::vector<std::string> kNames = {
    "A.JPG", "B.JPG", "c.jpg", "D.Jpg", "DOG     .JPG", "NOEXT", "E.", "F.TXT", "G.XYZ", "h.xyz",
    "A..JPG", "A.B C", "A. JPG", ".JPG", ".", "..", "...", "A\\B.JPG", "C:X.JPG", "X/Y.TXT",
    "A.JPG.", "A.JPG ", "\xC9T\xC9.JPG", "T\tAB.WAV", "P*Q?.MOV",
};

// Asks the cache for every name in order; each answer must be the manager's own.
void ExpectManagersAnswers(const std::vector<std::string>& names)
{
    auto manager = ItemIdManager::Create();
    ASSERT_NE(manager, nullptr);
    ItemTypeCache cache(manager.get());
    for (const std::string& name : names) {
        LPITEMIDLIST item = manager->CreateItem(name.c_str(), 1);
        ASSERT_NE(item, nullptr) << name;
        char expected[MAX_PATH] = "";
        char buffer[MAX_PATH] = "";
        manager->GetItemTypeName(item, expected, MAX_PATH);
        EXPECT_STREQ(cache.TypeName(item, buffer), expected) << name;
        EXPECT_EQ(cache.IconIndex(item), manager->GetItemIconIndex(item)) << name;
        manager->Delete(item);
    }
    // Kept: .JPG .jpg .Jpg .TXT .XYZ .xyz and none; names that end in a dot or blank, hold
    // path characters, controls or bytes outside ASCII, or are only dots are asked each time.
    EXPECT_EQ(cache.Size(), 7u);
    cache.Clear();
    EXPECT_EQ(cache.Size(), 0u);
}

TEST(ItemTypeCacheTest, AnswersAsTheManagerForEveryName)
{
    ExpectManagersAnswers(kNames);
    ExpectManagersAnswers({kNames.rbegin(), kNames.rend()});  // a name of another kind first changes nothing
}

}  // namespace
