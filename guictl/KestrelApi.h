// Export macro of Kestrelu.dll: the library exports, everyone else imports.
#pragma once

#if defined(KESTREL_BUILD)
#define KESTREL_API __declspec(dllexport)
#else
#define KESTREL_API __declspec(dllimport)
#endif
