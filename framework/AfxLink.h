// The link control (SysLink) as a window object.
#pragma once

#include "framework/AfxWin.h"

class CLinkCtrl : public CWnd {};
