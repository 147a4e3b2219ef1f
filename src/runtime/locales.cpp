// The user-interface language: POSIX locale names, Windows language identifiers and the
// two-letter codes of the "LOCALE" answer.
#include "runtime/locales.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

namespace kvn {

namespace {

struct LocaleEntry {
    // language_TERRITORY, optionally followed by @modifier.
    const char* name;
    uint16_t id;
};

// POSIX locale names and their Windows language identifiers. The first entry of a language is
// its primary territory; a modifier names the script or sort order variant.
constexpr LocaleEntry kLocales[] = {
    {"ar_SA", 0x0401},
    {"ar_IQ", 0x0801},
    {"ar_EG", 0x0C01},
    {"ar_LY", 0x1001},
    {"ar_DZ", 0x1401},
    {"ar_MA", 0x1801},
    {"ar_TN", 0x1C01},
    {"ar_OM", 0x2001},
    {"ar_YE", 0x2401},
    {"ar_SY", 0x2801},
    {"ar_JO", 0x2C01},
    {"ar_LB", 0x3001},
    {"ar_KW", 0x3401},
    {"ar_AE", 0x3801},
    {"ar_BH", 0x3C01},
    {"ar_QA", 0x4001},
    {"bg_BG", 0x0402},
    {"ca_ES", 0x0403},
    {"zh_TW", 0x0404},
    {"zh_CN", 0x0804},
    {"zh_HK", 0x0C04},
    {"zh_SG", 0x1004},
    {"zh_MO", 0x1404},
    {"cs_CZ", 0x0405},
    {"da_DK", 0x0406},
    {"de_DE", 0x0407},
    {"de_CH", 0x0807},
    {"de_AT", 0x0C07},
    {"de_LU", 0x1007},
    {"de_LI", 0x1407},
    {"el_GR", 0x0408},
    {"en_US", 0x0409},
    {"en_GB", 0x0809},
    {"en_AU", 0x0C09},
    {"en_CA", 0x1009},
    {"en_NZ", 0x1409},
    {"en_IE", 0x1809},
    {"en_ZA", 0x1C09},
    {"en_JM", 0x2009},
    {"en_AG", 0x2409},
    {"en_BZ", 0x2809},
    {"en_TT", 0x2C09},
    {"en_ZW", 0x3009},
    {"en_PH", 0x3409},
    {"en_IN", 0x4009},
    {"en_MY", 0x4409},
    {"en_SG", 0x4809},
    {"es_ES", 0x0C0A},
    {"es_ES@traditional", 0x040A},
    {"es_MX", 0x080A},
    {"es_GT", 0x100A},
    {"es_CR", 0x140A},
    {"es_PA", 0x180A},
    {"es_DO", 0x1C0A},
    {"es_VE", 0x200A},
    {"es_CO", 0x240A},
    {"es_PE", 0x280A},
    {"es_AR", 0x2C0A},
    {"es_EC", 0x300A},
    {"es_CL", 0x340A},
    {"es_UY", 0x380A},
    {"es_PY", 0x3C0A},
    {"es_BO", 0x400A},
    {"es_SV", 0x440A},
    {"es_HN", 0x480A},
    {"es_NI", 0x4C0A},
    {"es_PR", 0x500A},
    {"fi_FI", 0x040B},
    {"fr_FR", 0x040C},
    {"fr_BE", 0x080C},
    {"fr_CA", 0x0C0C},
    {"fr_CH", 0x100C},
    {"fr_LU", 0x140C},
    {"fr_MC", 0x180C},
    {"he_IL", 0x040D},
    {"iw_IL", 0x040D},
    {"hu_HU", 0x040E},
    {"is_IS", 0x040F},
    {"it_IT", 0x0410},
    {"it_CH", 0x0810},
    {"ja_JP", 0x0411},
    {"ko_KR", 0x0412},
    {"nl_NL", 0x0413},
    {"nl_BE", 0x0813},
    {"nb_NO", 0x0414},
    {"no_NO", 0x0414},
    {"nn_NO", 0x0814},
    {"pl_PL", 0x0415},
    {"pt_BR", 0x0416},
    {"pt_PT", 0x0816},
    {"ro_RO", 0x0418},
    {"ru_RU", 0x0419},
    {"hr_HR", 0x041A},
    {"sk_SK", 0x041B},
    {"sq_AL", 0x041C},
    {"sv_SE", 0x041D},
    {"sv_FI", 0x081D},
    {"th_TH", 0x041E},
    {"tr_TR", 0x041F},
    {"ur_PK", 0x0420},
    {"ur_IN", 0x0820},
    {"id_ID", 0x0421},
    {"uk_UA", 0x0422},
    {"be_BY", 0x0423},
    {"sl_SI", 0x0424},
    {"et_EE", 0x0425},
    {"lv_LV", 0x0426},
    {"lt_LT", 0x0427},
    {"lt_LT@classic", 0x0827},
    {"fa_IR", 0x0429},
    {"vi_VN", 0x042A},
    {"hy_AM", 0x042B},
    {"az_AZ", 0x042C},
    {"az_AZ@cyrillic", 0x082C},
    {"eu_ES", 0x042D},
    {"mk_MK", 0x042F},
    {"af_ZA", 0x0436},
    {"ka_GE", 0x0437},
    {"fo_FO", 0x0438},
    {"hi_IN", 0x0439},
    {"ms_MY", 0x043E},
    {"ms_BN", 0x083E},
    {"kk_KZ", 0x043F},
    {"ky_KG", 0x0440},
    {"sw_KE", 0x0441},
    {"uz_UZ", 0x0443},
    {"uz_UZ@cyrillic", 0x0843},
    {"tt_RU", 0x0444},
    {"bn_IN", 0x0445},
    {"pa_IN", 0x0446},
    {"gu_IN", 0x0447},
    {"or_IN", 0x0448},
    {"ta_IN", 0x0449},
    {"te_IN", 0x044A},
    {"kn_IN", 0x044B},
    {"ml_IN", 0x044C},
    {"as_IN", 0x044D},
    {"mr_IN", 0x044E},
    {"sa_IN", 0x044F},
    {"mn_MN", 0x0450},
    {"gl_ES", 0x0456},
    {"kok_IN", 0x0457},
    {"syr_SY", 0x045A},
    {"dv_MV", 0x0465},
    {"sr_RS", 0x0C1A},
    {"sr_RS@latin", 0x081A},
    {"sr_ME", 0x0C1A},
    {"sr_ME@latin", 0x081A},
};

uint16_t find_locale(const std::string& name) {
    for (const LocaleEntry& entry : kLocales) {
        if (name == entry.name) return entry.id;
    }
    return 0;
}

// The id of the language's first (primary-territory) entry, 0 when the language is unknown.
uint16_t find_language(const std::string& language) {
    for (const LocaleEntry& entry : kLocales) {
        const char* separator = std::strchr(entry.name, '_');
        if (language.compare(0, std::string::npos, entry.name, separator - entry.name) == 0) {
            return entry.id;
        }
    }
    return 0;
}

struct LocaleCode {
    uint16_t id;
    const char* code;
};

constexpr LocaleCode kLocaleCodes[] = {
    {0x0401, "ar"}, {0x0402, "bg"}, {0x0403, "ca"}, {0x0404, "ch"}, {0x0405, "cs"}, {0x0406, "da"},
    {0x0407, "de"}, {0x0408, "gr"}, {0x0409, "uk"}, {0x040A, "es"}, {0x040B, "fi"}, {0x040C, "fr"},
    {0x040D, "he"}, {0x040E, "hu"}, {0x040F, "is"}, {0x0410, "it"}, {0x0411, "jp"}, {0x0412, "ko"},
    {0x0413, "nl"}, {0x0414, "no"}, {0x0415, "pl"}, {0x0416, "pt"}, {0x0418, "ro"}, {0x0419, "ru"},
    {0x041A, "hr"}, {0x041B, "sk"}, {0x041C, "sq"}, {0x041D, "sv"}, {0x041E, "th"}, {0x041F, "tr"},
    {0x0420, "ur"}, {0x0421, "in"}, {0x0422, "uk"}, {0x0423, "be"}, {0x0424, "sl"}, {0x0425, "et"},
    {0x0426, "lv"}, {0x0427, "lt"}, {0x0429, "fa"}, {0x042A, "vi"}, {0x042B, "hy"}, {0x042C, "az"},
    {0x042D, "eu"}, {0x042F, "mk"}, {0x0436, "af"}, {0x0437, "ka"}, {0x0438, "fo"}, {0x0439, "hi"},
    {0x043E, "ms"}, {0x043F, "kk"}, {0x0440, "ky"}, {0x0441, "sw"}, {0x0443, "uz"}, {0x0444, "tt"},
    {0x0445, "be"}, {0x0446, "pa"}, {0x0447, "gu"}, {0x0448, "or"}, {0x0449, "ta"}, {0x044A, "te"},
    {0x044B, "ka"}, {0x044C, "ma"}, {0x044D, "as"}, {0x044E, "ma"}, {0x044F, "sa"}, {0x0450, "mo"},
    {0x0456, "gl"}, {0x0457, "kn"}, {0x045A, "sy"}, {0x0465, "di"}, {0x0801, "ar"}, {0x0804, "ch"},
    {0x0807, "de"}, {0x0809, "us"}, {0x080A, "es"}, {0x080C, "fr"}, {0x0810, "it"}, {0x0813, "nl"},
    {0x0814, "no"}, {0x0816, "pt"}, {0x081A, "sr"}, {0x081D, "sv"}, {0x0820, "ur"}, {0x0827, "lt"},
    {0x082C, "az"}, {0x083E, "ms"}, {0x0843, "uz"}, {0x0C01, "ar"}, {0x0C04, "zh"}, {0x0C07, "de"},
    {0x0C09, "us"}, {0x0C0A, "es"}, {0x0C0C, "fr"}, {0x0C1A, "sr"}, {0x1001, "ar"}, {0x1004, "zh"},
    {0x1007, "de"}, {0x1009, "us"}, {0x100A, "es"}, {0x100C, "fr"}, {0x1401, "ar"}, {0x1404, "zh"},
    {0x1407, "de"}, {0x1409, "us"}, {0x140A, "es"}, {0x140C, "fr"}, {0x1801, "ar"}, {0x1809, "us"},
    {0x180A, "es"}, {0x180C, "fr"}, {0x1C01, "ar"}, {0x1C09, "us"}, {0x1C0A, "es"}, {0x2001, "ar"},
    {0x2009, "us"}, {0x200A, "es"}, {0x2401, "ar"}, {0x2409, "us"}, {0x240A, "es"}, {0x2801, "ar"},
    {0x2809, "us"}, {0x280A, "es"}, {0x2C01, "ar"}, {0x2C09, "us"}, {0x2C0A, "es"}, {0x3001, "ar"},
    {0x3009, "us"}, {0x300A, "es"}, {0x3401, "ar"}, {0x3409, "us"}, {0x340A, "es"}, {0x3801, "ar"},
    {0x380A, "es"}, {0x3C01, "ar"}, {0x3C0A, "es"}, {0x4001, "ar"}, {0x400A, "es"}, {0x440A, "es"},
    {0x480A, "es"}, {0x4C0A, "es"}, {0x500A, "es"},
};

}  // namespace

uint16_t language_id_from_locale(const char* locale) {
    std::string name = locale ? locale : "";
    size_t modifier_start = name.find('@');
    std::string modifier = modifier_start == std::string::npos ? "" : name.substr(modifier_start);
    name = name.substr(0, std::min(name.find('.'), modifier_start));
    if (name.empty() || name == "C" || name == "POSIX") return 0;

    size_t separator = name.find_first_of("_-");
    std::string language = name.substr(0, separator);
    std::string territory = separator == std::string::npos ? "" : name.substr(separator + 1);
    for (char& c : language) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : territory) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

    std::string full = language + "_" + territory;
    if (uint16_t id = find_locale(full + modifier)) return id;
    if (uint16_t id = find_locale(full)) return id;
    // A language alone, or with a territory not in the table, counts as its primary territory.
    return find_language(language);
}

const char* locale_code_for_language_id(uint16_t id) {
    for (const LocaleCode& entry : kLocaleCodes) {
        if (entry.id == id) return entry.code;
    }
    return "us";
}

}  // namespace kvn
