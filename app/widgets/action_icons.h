// The pictures of the tool bar and menu items: the desktop icon theme's where it has a
// fitting one, otherwise small pictures drawn here, so that the tool bar is never blank.
#pragma once

#include <QIcon>

enum TActionIcon {
  aiOpen,
  aiSaveAs,
  aiFitToPage,
  aiFitToHeight,
  aiFitToWidth,
  aiOriginalSize,
  aiNoZoom,
  aiRefresh,
  aiFirst,
  aiPrior,
  aiNext,
  aiLast,
  aiVertical,
  aiHorizontal,
  aiSettings,
  aiFolders
};

QIcon ActionIcon(TActionIcon icon);
// The drawn picture alone, whatever the theme has.
QIcon DrawnActionIcon(TActionIcon icon);
