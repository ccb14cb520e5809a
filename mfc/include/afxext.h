// afxext.h - extension classes of the framework; the subset needs only what afxwin.h declares.
#pragma once

#include <afxwin.h>
