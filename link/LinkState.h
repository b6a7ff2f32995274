#pragma once

#include "PortGate.h"

#include <QObject>

namespace climate::link {

class SerialPort;

// The link as the window shows it: whether the port is open, whether the controller answers, and
// the position of the link bar above the pages. The bar is a view of this model; nobody reads
// its position from the widget.
//
// The bar's arithmetic: every received reply moves it on by one without wrapping; every Timer1
// tick while the controller answers moves it on by one, a position of 100 (the end of the bar)
// starting over at 3; a tick on a lost link puts it at 100. Positions stay within the bar's
// range 0 ... 100, so a reply at the end leaves the bar there until the next tick wraps it.
class LinkState : public QObject, public PortGate {
    Q_OBJECT

public:
    static constexpr double StartPosition = 5; // until Timer1's first tick
    static constexpr double EndPosition = 100;
    static constexpr double WrapPosition = 3; // where an answering tick at the end goes on

    explicit LinkState(const SerialPort& port, QObject* parent = nullptr);

    // Asked of the port itself. A port counts as open from a successful open until it is closed,
    // also after its device or connection was lost: a pulled adapter leaves the port open, as it
    // leaves the port button's caption at "Close", so the pages go on posting (and their requests
    // time out) instead of saying "ComPort Not Open!!". A network port still connecting is not
    // open yet, as the caption still reads "Open".
    [[nodiscard]] bool portOpen() const override;

    // The link state the bar's colour shows: answering (green) or lost (red), as the last Timer1
    // tick found it. The bar starts green.
    [[nodiscard]] bool answering() const { return m_answering; }
    [[nodiscard]] double barPosition() const { return m_barPosition; }

    // A reply was received: the bar moves on by one, without wrapping.
    void replyReceived();
    // One Timer1 tick; `linkAnswering` tells whether the engine's link counter still ran.
    void timerTick(bool linkAnswering);

signals:
    void barPositionChanged(double position);
    void answeringChanged(bool answering);

private:
    void moveBar(double position);

    const SerialPort& m_port;
    double m_barPosition = StartPosition;
    bool m_answering = true;
};

} // namespace climate::link
