#pragma once

// Base of the drawing objects that a CDC selects: pens, brushes, fonts and
// bitmaps. Stock objects are shared, never deleted and outlive every context.

class CGdiObject {
public:
    enum class Kind { Pen, Brush, Font, Bitmap };

    explicit CGdiObject(Kind kind) : kind_(kind) {}
    virtual ~CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    Kind GetKind() const { return kind_; }
    // True once the object has been created (and not deleted).
    virtual bool IsCreated() const = 0;
    // Releases the object's contents; stock objects refuse. Returns success.
    virtual bool DeleteObject() = 0;
    bool IsStock() const { return stock_; }

protected:
    void MarkStock() { stock_ = true; }

private:
    Kind kind_;
    bool stock_ = false;
};

// The shared stock object of the given number (WHITE_BRUSH ... DEFAULT_GUI_FONT),
// or nullptr for an unknown number.
CGdiObject* GetStockObject(int index);
