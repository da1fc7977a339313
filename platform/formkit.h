// Everything a form of the programs uses from the layer.
#pragma once

#include "platform/actnlist.h"
#include "platform/comctrls.h"
#include "platform/controls.h"
#include "platform/dialogs.h"
#include "platform/filedialogs.h"
#include "platform/forms.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"
