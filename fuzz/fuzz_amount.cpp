// Amount texts parsed and formatted with arbitrary separators and decimals.
#include "currency/settings.h"
#include "currency/srcpacific.h"
#include "fuzzenv.h"

#include <cmath>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzenv::Responder();
    if (size < 8) return 0;
    static Pacific* source = [] {
        fuzzenv::Folder();
        return new Pacific();  // an empty source: the conversions need only records
    }();
    Settings* s = NumberSettings();
    s->DecimalSeparator = static_cast<char>(data[0]);
    s->ThousandSeparator = static_cast<char>(data[1]);
    s->useThousand = data[2] & 1;
    s->Decimals = static_cast<int8_t>(data[3]);
    SetSystemDecimalSeparator(data[4] & 1 ? ',' : '.');
    double rate;
    std::memcpy(&rate, data, sizeof rate);
    CurrencyItem from("a", "", std::isfinite(rate) ? rate : 1, "", data[5] & 1, true);
    CurrencyItem to("b", "", 1.5, "", data[5] & 2, true);
    std::string text(reinterpret_cast<const char*>(data + 8), size - 8);
    source->ParseNumber(text);
    source->LocalizeNumber(text);
    source->ConvertText(text, &from, &to);
    long double v;
    if (TryStrToFloat(text, v)) {
        FloatToStrFixed(v, 18, std::abs(static_cast<int8_t>(data[3])) % 19);
        FloatToStr(v);
    }
    return 0;
}
