#include "host/data/drivers/mariadb/MariaDbStatement.h"

#include "host/components/text/CodePage.h"
#include "host/data/drivers/DatabaseError.h"
#include "host/data/drivers/LongOperation.h"
#include "host/data/drivers/mariadb/MariaDbPlaceholders.h"
#include "host/data/drivers/mariadb/MariaDbValues.h"

#include <mysqld_error.h>
#include <poll.h>

#include <cerrno>
#include <charconv>
#include <chrono>

namespace vorn {

struct TMariaDbStatement::TColumnBuffer {
    enum_field_types Type = MYSQL_TYPE_NULL;
    bool Unsigned = false;
    bool Binary = false;
    bool Boolean = false;
    long long Integer = 0;
    double Float = 0;
    MYSQL_TIME Time{};
    std::vector<char> Bytes;
    unsigned long Length = 0;
    my_bool IsNull = 0;
    my_bool Error = 0;
};

namespace {

const char* const ValueOperation = "TMariaDbCursor.Value()";

// A statement parameter and the storage its binding points at.
struct TParam {
    std::string Text;
    long long Integer = 0;
    double Float = 0;
    MYSQL_TIME Time{};
    unsigned long Length = 0;
};

// How a result column is read: integers and floats as such, dates and times as MYSQL_TIME,
// everything else (texts, decimals, binary data) as bytes.
enum_field_types BufferType(enum_field_types Type) {
    switch (Type) {
    case MYSQL_TYPE_TINY:
    case MYSQL_TYPE_SHORT:
    case MYSQL_TYPE_INT24:
    case MYSQL_TYPE_LONG:
    case MYSQL_TYPE_LONGLONG:
    case MYSQL_TYPE_YEAR:
        return MYSQL_TYPE_LONGLONG;
    case MYSQL_TYPE_FLOAT:
    case MYSQL_TYPE_DOUBLE:
        return MYSQL_TYPE_DOUBLE;
    case MYSQL_TYPE_DATE:
    case MYSQL_TYPE_NEWDATE:
        return MYSQL_TYPE_DATE;
    case MYSQL_TYPE_TIME:
    case MYSQL_TYPE_TIME2:
        return MYSQL_TYPE_TIME;
    case MYSQL_TYPE_DATETIME:
    case MYSQL_TYPE_DATETIME2:
    case MYSQL_TYPE_TIMESTAMP:
    case MYSQL_TYPE_TIMESTAMP2:
        return MYSQL_TYPE_DATETIME;
    default:
        return MYSQL_TYPE_STRING;
    }
}

// A bytes buffer starts this large and grows to the longest value read.
constexpr std::size_t InitialBytes = 64;

// How often a statement that waits for the server ticks the long-operation monitor.
constexpr int TickMilliseconds = 10;

// The socket events a non-blocking call waits for, as poll sees them, and back.
short PollEvents(int Wait) {
    short Events = 0;
    if (Wait & MYSQL_WAIT_READ)
        Events |= POLLIN;
    if (Wait & MYSQL_WAIT_WRITE)
        Events |= POLLOUT;
    if (Wait & MYSQL_WAIT_EXCEPT)
        Events |= POLLPRI;
    return Events;
}

int ReadyEvents(short Events) {
    int Ready = 0;
    // A closed or failed socket is handed to the library as readable: it finds the error.
    if (Events & (POLLIN | POLLERR | POLLHUP))
        Ready |= MYSQL_WAIT_READ;
    if (Events & POLLOUT)
        Ready |= MYSQL_WAIT_WRITE;
    if (Events & POLLPRI)
        Ready |= MYSQL_WAIT_EXCEPT;
    return Ready;
}

// Runs a call of the client library on Statement to its end: Blocking as it is, or, while
// a long-operation monitor watches, its non-blocking form. Start begins that and Continue
// resumes it with the events it waited for, each storing the call's result and returning
// what it waits for next (0 once done). The monitor is ticked every few milliseconds of
// waiting, and the server asked to stop the statement once the user wants it. Returns the
// call's result.
int RunWatched(const TMariaDbSession& Session, TLongOperationScope& Scope, MYSQL_STMT* Statement,
               int (*Blocking)(MYSQL_STMT*), int (*Start)(int*, MYSQL_STMT*),
               int (*Continue)(int*, MYSQL_STMT*, int)) {
    if (!Scope.Watched())
        return Blocking(Statement);
    using TClock = std::chrono::steady_clock;
    int Result = 0;
    int Wait = Start(&Result, Statement);
    bool CancelSent = false;
    while (Wait != 0) {
        const auto Deadline =
            TClock::now() +
            std::chrono::milliseconds(
                (Wait & MYSQL_WAIT_TIMEOUT) ? mysql_get_timeout_value_ms(Session.Handle()) : 0);
        int Ready = 0;
        while (Ready == 0) {
            pollfd Socket{mysql_get_socket(Session.Handle()), PollEvents(Wait), 0};
            const int Polled = poll(&Socket, 1, TickMilliseconds);
            if (Polled > 0)
                Ready = ReadyEvents(Socket.revents);
            else if (Polled < 0 && errno != EINTR)
                Ready = MYSQL_WAIT_READ;
            else if ((Wait & MYSQL_WAIT_TIMEOUT) && TClock::now() >= Deadline)
                Ready = MYSQL_WAIT_TIMEOUT;
            if (!CancelSent && Scope.CancelRequested()) {
                Session.RequestCancel();
                CancelSent = true;
            }
        }
        Wait = Continue(&Result, Statement, Ready);
    }
    return Result;
}

} // namespace

TMariaDbStatement::TMariaDbStatement(TMariaDbSession& Session, const char* Operation,
                                     const std::string& Sql, const std::vector<TVariant>& Params)
    : FSession(Session) {
    TPositionalSql Positional;
    std::vector<TVariant> Ordered;
    try {
        Positional = ToPositionalPlaceholders(HostToUtf8(Sql));
        Ordered = OrderParams(Positional, Params);
    } catch (const EDatabaseError& Error) {
        Session.Raise(Operation, Error.Message());
    }
    if (Positional.Sql.find('\0') != std::string::npos)
        Session.Raise(Operation, "The statement contains a NUL character");
    Session.Connect();
    FStatement = mysql_stmt_init(Session.Handle());
    if (!FStatement)
        Session.RaiseLastError(Operation);
    try {
        if (mysql_stmt_prepare(FStatement, Positional.Sql.data(), Positional.Sql.size()) != 0)
            Session.RaiseLastError(Operation, FStatement);
        BindAndExecute(Operation, Ordered);
        const my_ulonglong Affected = mysql_stmt_affected_rows(FStatement);
        FAffectedRows =
            Affected == static_cast<my_ulonglong>(-1) ? 0 : static_cast<std::int64_t>(Affected);
        BindResult();
        FExhausted = FColumns.empty();
    } catch (const EDatabaseError&) {
        mysql_stmt_close(FStatement);
        FStatement = nullptr;
        throw;
    }
}

TMariaDbStatement::~TMariaDbStatement() {
    if (!FStatement)
        return;
    // Closing a statement reads whatever rows the server still sends. A few are read; a
    // long rest costs less as a new connection than as a read of every row left.
    constexpr std::int64_t RowsWorthReading = 256;
    if (!FExhausted && FSession.Connected()) {
        try {
            if (!Skip(RowsWorthReading))
                FSession.Disconnect();
        } catch (const EDatabaseError&) {
            FSession.Disconnect();
        }
    }
    mysql_stmt_close(FStatement);
}

// The values live here until the statement has run: the bindings point at them.
void TMariaDbStatement::BindAndExecute(const char* Operation, const std::vector<TVariant>& Params) {
    const unsigned long Expected = mysql_stmt_param_count(FStatement);
    if (Expected != Params.size())
        FSession.Raise(Operation, "The statement has " + std::to_string(Expected) +
                                      " placeholders but " + std::to_string(Params.size()) +
                                      " values");
    std::vector<TParam> Values(Params.size());
    std::vector<MYSQL_BIND> Binds(Params.size());
    for (std::size_t Index = 0; Index < Params.size(); ++Index) {
        const TVariant& Value = Params[Index];
        TParam& Param = Values[Index];
        MYSQL_BIND& Bind = Binds[Index];
        switch (Value.VarType()) {
        case varNull:
            Bind.buffer_type = MYSQL_TYPE_NULL;
            break;
        case varInteger:
        case varBoolean:
            Param.Integer = Value.AsInteger();
            Bind.buffer_type = MYSQL_TYPE_LONGLONG;
            Bind.buffer = &Param.Integer;
            break;
        case varFloat:
            Param.Float = Value.AsFloat();
            Bind.buffer_type = MYSQL_TYPE_DOUBLE;
            Bind.buffer = &Param.Float;
            break;
        case varDateTime:
            Param.Time = MariaDbTimeParam(Value.AsDateTime());
            Bind.buffer_type = Param.Time.time_type == MYSQL_TIMESTAMP_TIME ? MYSQL_TYPE_TIME
                                                                            : MYSQL_TYPE_DATETIME;
            Bind.buffer = &Param.Time;
            break;
        case varString:
            Param.Text = HostToUtf8(Value.AsString());
            Param.Length = static_cast<unsigned long>(Param.Text.size());
            Bind.buffer_type = MYSQL_TYPE_STRING;
            Bind.buffer = Param.Text.data();
            Bind.buffer_length = Param.Length;
            Bind.length = &Param.Length;
            break;
        }
    }
    if (!Binds.empty() && mysql_stmt_bind_param(FStatement, Binds.data()) != 0)
        FSession.RaiseLastError(Operation, FStatement);
    TLongOperationScope Scope;
    const int Result = RunWatched(FSession, Scope, FStatement, mysql_stmt_execute,
                                  mysql_stmt_execute_start, mysql_stmt_execute_cont);
    FCancelled = FCancelled || Scope.Cancelled();
    if (Result != 0)
        RaiseLastError(Operation);
}

// The server may stop a cancelled statement only while it sends the rows: the cancel
// raises where the stop shows. A statement that finished or failed before the request
// arrived keeps its own result.
void TMariaDbStatement::RaiseLastError(const char* Operation) {
    const unsigned Error = mysql_stmt_errno(FStatement) != 0 ? mysql_stmt_errno(FStatement)
                                                             : mysql_errno(FSession.Handle());
    if (FCancelled && Error == ER_QUERY_INTERRUPTED)
        throw EOperationCancelled();
    FSession.RaiseLastError(Operation, FStatement);
}

void TMariaDbStatement::BindResult() {
    MYSQL_RES* Metadata = mysql_stmt_result_metadata(FStatement);
    if (!Metadata)
        return;
    const unsigned Count = mysql_num_fields(Metadata);
    const MYSQL_FIELD* Fields = mysql_fetch_fields(Metadata);
    FBuffers.resize(Count);
    FResultBinds.resize(Count);
    for (unsigned Index = 0; Index < Count; ++Index) {
        const MYSQL_FIELD& Field = Fields[Index];
        const TMariaDbType Type = MariaDbResultType(Field);
        TColumnInfo Info;
        Info.Name = Utf8ToHost(std::string(Field.name, Field.name_length));
        Info.DataType = MariaDbFieldType(Type);
        if (Info.DataType == ftBCD)
            Info.Size = static_cast<int>(Field.decimals);
        else if (Info.DataType == ftString || Info.DataType == ftFixedChar)
            // The length counts bytes of the connection's character set, 4 per character.
            Info.Size = static_cast<int>(Field.length / 4);
        FColumns.push_back(std::move(Info));

        TColumnBuffer& Buffer = FBuffers[Index];
        Buffer.Type = BufferType(Field.type);
        Buffer.Unsigned = Type.Unsigned;
        Buffer.Binary = Type.Binary;
        Buffer.Boolean = Type.Boolean;
        MYSQL_BIND& Bind = FResultBinds[Index];
        Bind.buffer_type = Buffer.Type;
        Bind.is_unsigned = Buffer.Unsigned;
        Bind.is_null = &Buffer.IsNull;
        Bind.error = &Buffer.Error;
        Bind.length = &Buffer.Length;
        if (Buffer.Type == MYSQL_TYPE_LONGLONG) {
            Bind.buffer = &Buffer.Integer;
        } else if (Buffer.Type == MYSQL_TYPE_DOUBLE) {
            Bind.buffer = &Buffer.Float;
        } else if (Buffer.Type == MYSQL_TYPE_STRING) {
            Buffer.Bytes.resize(InitialBytes);
            Bind.buffer = Buffer.Bytes.data();
            Bind.buffer_length = static_cast<unsigned long>(Buffer.Bytes.size());
        } else {
            Bind.buffer = &Buffer.Time;
        }
    }
    mysql_free_result(Metadata);
    if (mysql_stmt_bind_result(FStatement, FResultBinds.data()) != 0)
        FSession.RaiseLastError("TMariaDbCursor.Open()", FStatement);
}

bool TMariaDbStatement::Next() {
    FOnRow = false;
    if (FExhausted)
        return false;
    Fetch("TMariaDbCursor.Next()");
    return FOnRow;
}

bool TMariaDbStatement::Skip(std::int64_t Rows) {
    for (std::int64_t Row = 0; Row < Rows && !FExhausted; ++Row)
        Fetch("TMariaDbCursor.Close()");
    FOnRow = false;
    return FExhausted;
}

// Fetches a row; a value longer than its buffer is fetched again into a buffer grown to
// its length, which then stays bound for the rows after it.
void TMariaDbStatement::Fetch(const char* Operation) {
    // The first row of a result may be long in coming: the server sends the columns before
    // it has found any.
    TLongOperationScope Scope;
    const int Result = RunWatched(FSession, Scope, FStatement, mysql_stmt_fetch,
                                  mysql_stmt_fetch_start, mysql_stmt_fetch_cont);
    FCancelled = FCancelled || Scope.Cancelled();
    if (Result == MYSQL_NO_DATA) {
        FExhausted = true;
        FOnRow = false;
        return;
    }
    if (Result == 1) {
        FExhausted = true;
        RaiseLastError(Operation);
    }
    if (Result == MYSQL_DATA_TRUNCATED) {
        bool Rebind = false;
        for (std::size_t Index = 0; Index < FBuffers.size(); ++Index) {
            TColumnBuffer& Buffer = FBuffers[Index];
            if (Buffer.Type != MYSQL_TYPE_STRING || Buffer.IsNull ||
                Buffer.Length <= Buffer.Bytes.size())
                continue;
            Buffer.Bytes.resize(Buffer.Length);
            MYSQL_BIND& Bind = FResultBinds[Index];
            Bind.buffer = Buffer.Bytes.data();
            Bind.buffer_length = static_cast<unsigned long>(Buffer.Bytes.size());
            if (mysql_stmt_fetch_column(FStatement, &Bind, static_cast<unsigned>(Index), 0) != 0)
                FSession.RaiseLastError(Operation, FStatement);
            Rebind = true;
        }
        if (Rebind && mysql_stmt_bind_result(FStatement, FResultBinds.data()) != 0)
            FSession.RaiseLastError(Operation, FStatement);
    }
    FOnRow = true;
}

TVariant TMariaDbStatement::Value(int Index) const {
    if (Index < 0 || Index >= static_cast<int>(FColumns.size()))
        FSession.Raise(ValueOperation, "Column index " + std::to_string(Index) + " out of range");
    if (!FOnRow)
        FSession.Raise(ValueOperation, "There is no current row");
    const TColumnBuffer& Buffer = FBuffers[static_cast<std::size_t>(Index)];
    if (Buffer.IsNull)
        return TVariant();
    switch (Buffer.Type) {
    case MYSQL_TYPE_LONGLONG:
        if (Buffer.Boolean)
            return TVariant(Buffer.Integer != 0);
        if (Buffer.Unsigned && Buffer.Integer < 0)
            // Above the largest signed value: kept exact as text.
            return TVariant(std::to_string(static_cast<unsigned long long>(Buffer.Integer)));
        return TVariant(static_cast<std::int64_t>(Buffer.Integer));
    case MYSQL_TYPE_DOUBLE:
        return TVariant(Buffer.Float);
    case MYSQL_TYPE_STRING: {
        std::string Bytes(Buffer.Bytes.data(), Buffer.Length);
        const TFieldType Type = FColumns[static_cast<std::size_t>(Index)].DataType;
        if (Type == ftBCD) {
            double Number = 0;
            const auto Parsed = std::from_chars(Bytes.data(), Bytes.data() + Bytes.size(), Number);
            if (Parsed.ec == std::errc() && Parsed.ptr == Bytes.data() + Bytes.size())
                return TVariant(Number);
            return TVariant(std::move(Bytes));
        }
        if (Buffer.Binary)
            return TVariant(std::move(Bytes));
        return TVariant(Utf8ToHost(Bytes));
    }
    default:
        return MariaDbTimeValue(Buffer.Time, Buffer.Type);
    }
}

} // namespace vorn
