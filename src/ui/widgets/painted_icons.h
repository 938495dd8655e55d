#pragma once
// The window's small pictures, drawn with QPainter so the program carries no
// image files: the message list's unread and read envelopes and the tool
// bar's copy, decrypt and delete buttons.
#include <QIcon>

namespace fhr {

// A closed envelope (image 0) for an unread message, an opened one (image 1)
// for a read message.
QIcon UnreadIcon();
QIcon ReadIcon();

QIcon CopyIcon();
QIcon DecryptIcon();
QIcon DeleteIcon();

// The tray icons: 0 the program, 1 new mail has come, 2 an error.
QIcon TrayIcon(int index);

}  // namespace fhr
