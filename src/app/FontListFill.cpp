// FillFontList apart from the rest of the catalogue: it is the part that needs the
// list widget, which the window-less `--list` must not pull in.
#include "app/FontCatalogue.h"
#include "platform/ui/ListWithEdit.h"

namespace typeloom::app {

void FillFontList(platform::Registry& registry, FontCatalogue& catalogue, platform::ListWithEdit& fontList,
                  QStringList& fontNames) {
  // The names come sorted in list order.
  fontList.SetSortedItems(BuildFontNames(registry, catalogue));
  fontNames = fontList.Items();
  if (fontList.ListCount() > 0) fontList.SetListIndex(fontList.ListCount() - 1);
}

}  // namespace typeloom::app
