#pragma once

// The GDI objects this process holds now; -1 when no way of counting them works. Callers
// must hold at least one object of their own (a 0 from Windows means "cannot say").
long gdiObjectCount();
