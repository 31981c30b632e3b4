#include "plan/window.h"

#include "model/osd_record.h"

template class Indirect<tagOSD_DATA_EX2>;

void WindowRecordCopy(CQelWindow& dst, const CQelWindow& src)
{
    if (&dst == &src)
        return;
    dst.id = src.id;
    dst.name = src.name;
    dst.processor = src.processor;
    dst.sigsrc = src.sigsrc;
    dst.layer = src.layer;
    dst.rectView = src.rectView;
    dst.rect = src.rect;
    dst.rcsigsrc = src.rcsigsrc;
    dst.szsigsrcfull = src.szsigsrcfull;
    dst.rcsigsrcinner = src.rcsigsrcinner;
    dst.fullscreen = src.fullscreen;
    dst.active = src.active;
    dst.status = src.status;
    dst.scaled = src.scaled;
    dst.resourceOk = src.resourceOk;
    dst.group = src.group;
}

bool WindowRecordDiffers(const CQelWindow& a, const CQelWindow& b)
{
    return a.id != b.id || a.name != b.name || a.processor != b.processor || a.sigsrc != b.sigsrc ||
           a.layer != b.layer || !(a.rectView == b.rectView) || !(a.rect == b.rect) || !(a.rcsigsrc == b.rcsigsrc) ||
           !(a.szsigsrcfull == b.szsigsrcfull) || !(a.rcsigsrcinner == b.rcsigsrcinner) ||
           a.fullscreen != b.fullscreen || a.status != b.status || a.scaled != b.scaled || a.resourceOk != b.resourceOk;
}
