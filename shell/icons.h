// The toolbar's 32 x 32 pictures, drawn here so the program ships no image files.
#pragma once

#include <QIcon>

namespace shell {

enum class Picture { New, Open, Save, Read, Write, Remark, Password };

QIcon ToolIcon(Picture picture);

}  // namespace shell
