// Resource ids of the framework's own resources (Quorfx.rc), found at the end
// of the resource chain.
#pragma once

#define AFX_IDC_HSPLITBAR 30980  // the size cursor of a vertical splitter bar (moves left and right)
#define AFX_IDC_VSPLITBAR 30981  // the size cursor of a horizontal splitter bar (moves up and down)
