#pragma once
// The working files "type1" and "type2" in the program folder: their paths,
// reading their word lines and replacing both together.

#include <QByteArray>
#include <QString>

extern QString gType1Path; // working file "type1"
extern QString gType2Path; // working file "type2"

void SetWorkFilePaths();

// The contents one file operation builds for the (at most two) files it
// writes.
struct Buffers {
    QByteArray out1;
    QByteArray out2;
};

// The kept buffers for the time of one operation, or buffers of its own for an
// operation started while another still runs (from a message box's event loop).
class BufferLease {
public:
    BufferLease();
    ~BufferLease();
    BufferLease(const BufferLease&) = delete;
    BufferLease& operator=(const BufferLease&) = delete;

    Buffers& get() { return m_kept ? gKeptBuffers : m_own; }

private:
    static thread_local Buffers gKeptBuffers;
    static thread_local bool gKeptBuffersInUse;
    bool m_kept;
    Buffers m_own;
};

// Replaces both working files together, so they never belong to different
// lists.
bool WriteWorkFiles(const QByteArray& type1, const QByteArray& type2);
// Reads both working files (a missing file is empty) and puts their first
// total lines, the ones that belong to words, as KeepLines gives them, into
// buffers.out1 and out2. False, with a warning, when either file holds fewer
// lines than the counts announce.
bool ReadWorkRecords(int total, int skip, Buffers& buffers, QByteArray& skipped1);
