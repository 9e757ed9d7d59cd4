#pragma once
// The drawing objects a CImageDC hands out, kept in one table per kind.
//
// A handle's id is its slot + 1; a released slot is reused by the next object of that kind,
// as a window system reuses handles. Stock objects (the surface's defaults) cannot be
// released.

#include "graph/GdiTypes.h"

#include <memory>
#include <optional>
#include <vector>

struct ImageDCFont;

struct ImageDCPen {
    COLORREF colour = 0;
};
struct ImageDCBrush {
    COLORREF colour = 0;
};
struct ImageDCRegion {
    CRect rect;
};
struct ImageDCFontObject {
    std::shared_ptr<const ImageDCFont> font;
};

template <typename T>
class ImageDCObjectTable {
public:
    int Add(T object, bool stock = false) {
        for (std::size_t i = 0; i < m_slots.size(); ++i)
            if (!m_slots[i]) {
                m_slots[i] = Slot{std::move(object), stock};
                return static_cast<int>(i) + 1;
            }
        m_slots.push_back(Slot{std::move(object), stock});
        return static_cast<int>(m_slots.size());
    }
    // The object with that id, or null when there is none.
    const T* Find(int id) const {
        if (id < 1 || id > static_cast<int>(m_slots.size())) return nullptr;
        const auto& slot = m_slots[static_cast<std::size_t>(id) - 1];
        return slot ? &slot->object : nullptr;
    }
    bool IsStock(int id) const {
        return Find(id) && m_slots[static_cast<std::size_t>(id) - 1]->stock;
    }
    // Releases a non-stock object; false when there is none or it is stock.
    bool Remove(int id) {
        if (!Find(id) || IsStock(id)) return false;
        m_slots[static_cast<std::size_t>(id) - 1].reset();
        return true;
    }

private:
    struct Slot {
        T object;
        bool stock = false;
    };
    std::vector<std::optional<Slot>> m_slots;
};
