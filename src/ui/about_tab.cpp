#include "ui/primitives.h"
#include "ui/tab_painters.h"
#include "ui/theme.h"

void paintAboutTab(Canvas& canvas, const ContentLayout& l) {
    using namespace palette;
    const int B = l.B;
    drawCard(canvas, {243, B, l.W + 243, B + 110});
    canvas.textAt(259, B + 14, L"Ventrasol Universal for Windows", Font::FontTitle, Text);
    canvas.textAt(259, B + 42, L"Version 2.0.0 (x64 Native Multi-Vendor Build)", Font::FontSmall,
                  TextMuted);
    canvas.textAt(259, B + 60, L"Entwickelt vom Ventrasol-Projektteam · freie Software",
                  Font::FontSmall, TextMuted);
    canvas.textAt(259, B + 78,
                  L"Intelligente automatische Hardware-Erkennung & herstellerspezifische "
                  L"Sensor-Anbindung",
                  Font::FontSmall, TextMuted);

    drawCard(canvas, {243, B + 124, l.W + 243, B + 254});
    canvas.textAt(259, B + 138, L"Unterstützte Architekturen & Hersteller", Font::FontBold, Text);
    canvas.textAt(259, B + 164,
                  L"• Apple Boot Camp: AppleSMC MMIO Direct Kernel-Treiber (T2 Chip / Intel "
                  L"MacBooks)",
                  Font::FontSmall, TextMuted);
    canvas.textAt(259, B + 182,
                  L"• ASUS, Lenovo, Dell, HP, Acer, MSI, Gigabyte: ACPI WMI, SMM, NVAPI & AMD "
                  L"Driver",
                  Font::FontSmall, TextMuted);
    canvas.textAt(259, B + 200,
                  L"• Grafikkarten: NVIDIA NvAPI (nvapi64.dll) & AMD ADLX Direktanbindung",
                  Font::FontSmall, TextMuted);
}
