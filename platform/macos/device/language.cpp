// The user's preferred language.

#include <cstdlib>
#include <cstring>

#include "platform/macos/device/device.h"

nString ZKD_LanguageFromCode(const char* code) {
    if (!code) return nString();
    if (strcmp(code, "pt-BR") == 0) return nString(code);
    const char* dash = strchr(code, '-');
    size_t length = dash ? static_cast<size_t>(dash - code) : strlen(code);
    if (length > 1022) return nString();
    char part[1023];
    memcpy(part, code, length);
    part[length] = '\0';
    if (strcmp(part, "zh") == 0) return nString("zh-CN");
    return nString(part);
}

// "en_GB.UTF-8@euro" -> "en-GB"; "" for none, "C" and "POSIX".
static nString PreferredLanguageCode() {
    const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    const char* setting = nullptr;
    for (const char* name : names) {
        const char* value = getenv(name);
        if (value && *value) {
            setting = value;
            break;
        }
    }
    if (!setting || strcmp(setting, "C") == 0 || strcmp(setting, "POSIX") == 0) return nString("");
    nString code = nString(setting).Substring(0, static_cast<int>(strcspn(setting, ".@")));
    for (char* c = code.text; c && *c; ++c)
        if (*c == '_') *c = '-';
    return code;
}

nString ZK_OSX_GetLanguage() {
    nString code = PreferredLanguageCode();
    if (code.IsEmpty()) return nString("");
    return ZKD_LanguageFromCode(code.c_str());
}
