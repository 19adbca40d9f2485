// Resource ids of Kestrelu's own resources (Kestrelu.rc).
#pragma once

#define IDC_KESTREL_LINK 4001  // the link cursor (32 x 32)
