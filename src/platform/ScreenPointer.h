#pragma once
// The application-wide mouse pointer: 0 the default arrow, 11 the hourglass.
class ScreenPointer {
public:
    virtual ~ScreenPointer() = default;
    virtual int MousePointer() const = 0;
    virtual void setMousePointer(int pointer) = 0;
};

namespace MousePointerValue {
constexpr int Default = 0;
constexpr int Hourglass = 11;
}  // namespace MousePointerValue
