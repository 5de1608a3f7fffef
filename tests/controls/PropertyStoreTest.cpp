#include "controls/PropertyStore.h"

#include <gtest/gtest.h>

namespace typeloom::controls {
namespace {

TEST(PropertyStore, ReadGivesTheStoredValueWhateverTheCaseOrTheDefault) {
  PropertyStore store{{"Caption", "?"}, {"BackColor", 0xFF00FF}};
  EXPECT_EQ(store.Read("caption", "Button").toString(), "?");
  EXPECT_EQ(store.Read("BACKCOLOR", 0).toUInt(), 0xFF00FFu);
  EXPECT_EQ(store.Read("ForeColor", 0x80000012u).toUInt(), 0x80000012u);
  EXPECT_FALSE(store.Contains("Enabled"));
  EXPECT_TRUE(store.Contains("backcolor"));
}

TEST(PropertyStore, RewritingAKeyInAnotherCaseKeepsItsPlace) {
  PropertyStore store;
  store.Write("Caption", "a");
  store.Write("Enabled", false);
  store.Write("CAPTION", "b");
  EXPECT_EQ(store.Keys(), (QStringList{"Caption", "Enabled"}));
  EXPECT_EQ(store.Read("caption", {}).toString(), "b");
}

TEST(PropertyStore, MarkedKeysAreRememberedOnceWithoutRegardToCase) {
  PropertyStore store;
  store.MarkChanged("Caption");
  store.MarkChanged("caption");
  store.MarkChanged("Enabled");
  EXPECT_TRUE(store.IsChanged("CAPTION"));
  EXPECT_FALSE(store.IsChanged("BackColor"));
  EXPECT_EQ(store.ChangedKeys(), (QStringList{"Caption", "Enabled"}));
  store.ClearChanged();
  EXPECT_TRUE(store.ChangedKeys().isEmpty());
}

}  // namespace
}  // namespace typeloom::controls
