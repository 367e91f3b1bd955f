// The Oracle Call Interface as this project sees it: C types, constants and
// prototypes of the entry points, restated from Oracle's public headers.
// The access layer never links these; it resolves them by name at run time
// and uses the prototypes only for the pointer types. The emulator
// implements them with C linkage.
#ifndef SKELVANE_ORACLE_OCI_H
#define SKELVANE_ORACLE_OCI_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned char ub1;
typedef signed char sb1;
typedef unsigned short ub2;
typedef signed short sb2;
typedef unsigned int ub4;
typedef signed int sb4;
typedef signed int sword;
typedef unsigned int uword;
typedef int eword;
typedef unsigned char OraText;
typedef unsigned char oratext;
typedef int boolean;

typedef struct OCIEnv OCIEnv;
typedef struct OCIError OCIError;
typedef struct OCISvcCtx OCISvcCtx;
typedef struct OCIStmt OCIStmt;
typedef struct OCIBind OCIBind;
typedef struct OCIDefine OCIDefine;
typedef struct OCIDescribe OCIDescribe;
typedef struct OCIServer OCIServer;
typedef struct OCISession OCISession;
typedef struct OCIParam OCIParam;
typedef struct OCISnapshot OCISnapshot;

/* return codes */
#define OCI_SUCCESS 0
#define OCI_SUCCESS_WITH_INFO 1
#define OCI_NEED_DATA 99
#define OCI_NO_DATA 100
#define OCI_ERROR (-1)
#define OCI_INVALID_HANDLE (-2)
#define OCI_STILL_EXECUTING (-3123)
#define OCI_CONTINUE (-24200)
#define OCI_ROWCBK_DONE (-24201)

/* handle and descriptor types */
#define OCI_HTYPE_ENV 1
#define OCI_HTYPE_ERROR 2
#define OCI_HTYPE_SVCCTX 3
#define OCI_HTYPE_STMT 4
#define OCI_HTYPE_BIND 5
#define OCI_HTYPE_DEFINE 6
#define OCI_HTYPE_DESCRIBE 7
#define OCI_HTYPE_SERVER 8
#define OCI_HTYPE_SESSION 9
#define OCI_HTYPE_AUTHINFO 9
#define OCI_HTYPE_TRANS 10
#define OCI_DTYPE_LOB 50
#define OCI_DTYPE_SNAP 51
#define OCI_DTYPE_RSET 52
#define OCI_DTYPE_PARAM 53
#define OCI_DTYPE_ROWID 54
#define OCI_DTYPE_FILE 56
#define OCI_DTYPE_INTERVAL_YM 62
#define OCI_DTYPE_INTERVAL_DS 63
#define OCI_DTYPE_TIMESTAMP 68
#define OCI_DTYPE_TIMESTAMP_TZ 69
#define OCI_DTYPE_TIMESTAMP_LTZ 70
#define OCI_HTYPE_CPOOL 26
#define OCI_HTYPE_SPOOL 27

/* attributes */
#define OCI_ATTR_FNCODE 1
#define OCI_ATTR_DATA_SIZE 1
#define OCI_ATTR_DATA_TYPE 2
#define OCI_ATTR_DISP_SIZE 3
#define OCI_ATTR_NAME 4
#define OCI_ATTR_PRECISION 5
#define OCI_ATTR_ENV 5
#define OCI_ATTR_SCALE 6
#define OCI_ATTR_SERVER 6
#define OCI_ATTR_IS_NULL 7
#define OCI_ATTR_SESSION 7
#define OCI_ATTR_TRANS 8
#define OCI_ATTR_ROW_COUNT 9
#define OCI_ATTR_SQLFNCODE 10
#define OCI_ATTR_PREFETCH_ROWS 11
#define OCI_ATTR_PREFETCH_MEMORY 13
#define OCI_ATTR_PARAM_COUNT 18
#define OCI_ATTR_ROWID 19
#define OCI_ATTR_USERNAME 22
#define OCI_ATTR_PASSWORD 23
#define OCI_ATTR_STMT_TYPE 24
#define OCI_ATTR_INTERNAL_NAME 25
#define OCI_ATTR_EXTERNAL_NAME 26
#define OCI_ATTR_CHARSET_ID 31
#define OCI_ATTR_CHARSET_FORM 32
#define OCI_ATTR_MAXDATA_SIZE 33
#define OCI_ATTR_ROWS_RETURNED 42
#define OCI_ATTR_NUM_COLS 102
#define OCI_ATTR_LIST_COLUMNS 103
#define OCI_ATTR_PTYPE 123
#define OCI_ATTR_PARAM 124
#define OCI_ATTR_LTYPE 128
/* An 8.0-era header numbered the parse error offset 128; later ones 129. */
#define OCI_ATTR_PARSE_ERROR_OFFSET_OLD 128
#define OCI_ATTR_PARSE_ERROR_OFFSET 129
#define OCI_ATTR_SERVER_STATUS 143
#define OCI_ATTR_STATEMENT 144
#define OCI_ATTR_CURRENT_POSITION 164
#define OCI_ATTR_STMTCACHESIZE 176
#define OCI_ATTR_BIND_COUNT 190
#define OCI_ATTR_ROWS_FETCHED 197
#define OCI_ATTR_CURRENT_SCHEMA 224
#define OCI_ATTR_CLIENT_IDENTIFIER 278
#define OCI_ATTR_CHAR_USED 285
#define OCI_ATTR_CHAR_SIZE 286
#define OCI_ATTR_MODULE 366
#define OCI_ATTR_ACTION 367
#define OCI_ATTR_CLIENT_INFO 368

/* modes */
#define OCI_DEFAULT 0x0
#define OCI_THREADED 0x1
#define OCI_OBJECT 0x2
#define OCI_EVENTS 0x4
#define OCI_SHARED 0x10
#define OCI_NO_UCB 0x40
#define OCI_NO_MUTEX 0x80
#define OCI_ENV_NO_UCB 0x01
#define OCI_ENV_NO_MUTEX 0x08

#define OCI_CRED_RDBMS 1
#define OCI_CRED_EXT 2
#define OCI_CRED_PROXY 3
#define OCI_MIGRATE 0x1
#define OCI_SYSDBA 0x2
#define OCI_SYSOPER 0x4
#define OCI_PRELIM_AUTH 0x8
#define OCI_STMT_CACHE 0x40

#define OCI_NTV_SYNTAX 1
#define OCI_V7_SYNTAX 2
#define OCI_V8_SYNTAX 3

#define OCI_BATCH_MODE 0x1
#define OCI_EXACT_FETCH 0x2
#define OCI_DESCRIBE_ONLY 0x10
#define OCI_COMMIT_ON_SUCCESS 0x20
#define OCI_STMT_SCROLLABLE_READONLY 0x8
#define OCI_BATCH_ERRORS 0x80
#define OCI_PARSE_ONLY 0x100
#define OCI_PREP2_CACHE_SEARCHONLY 0x10
#define OCI_STRLS_CACHE_DELETE 0x10

#define OCI_DATA_AT_EXEC 0x2
#define OCI_DYNAMIC_FETCH 0x2
#define OCI_PIECEWISE 0x4

#define OCI_FETCH_CURRENT 0x1
#define OCI_FETCH_NEXT 0x2
#define OCI_FETCH_FIRST 0x4
#define OCI_FETCH_LAST 0x8
#define OCI_FETCH_PRIOR 0x10
#define OCI_FETCH_ABSOLUTE 0x20
#define OCI_FETCH_RELATIVE 0x40

#define OCI_ONE_PIECE 0
#define OCI_FIRST_PIECE 1
#define OCI_NEXT_PIECE 2
#define OCI_LAST_PIECE 3
#define OCI_PARAM_IN 0x01
#define OCI_PARAM_OUT 0x02

#define OCI_STMT_UNKNOWN 0
#define OCI_STMT_SELECT 1
#define OCI_STMT_UPDATE 2
#define OCI_STMT_DELETE 3
#define OCI_STMT_INSERT 4
#define OCI_STMT_CREATE 5
#define OCI_STMT_DROP 6
#define OCI_STMT_ALTER 7
#define OCI_STMT_BEGIN 8
#define OCI_STMT_DECLARE 9
#define OCI_STMT_CALL 10
#define OCI_STMT_MERGE 16

#define OCI_IND_NOTNULL 0
#define OCI_IND_NULL (-1)

#define OCI_SERVER_NOT_CONNECTED 0x0
#define OCI_SERVER_NORMAL 0x1

/* external data types */
#define SQLT_CHR 1
#define SQLT_NUM 2
#define SQLT_INT 3
#define SQLT_FLT 4
#define SQLT_STR 5
#define SQLT_VNU 6
#define SQLT_LNG 8
#define SQLT_VCS 9
#define SQLT_RID 11
#define SQLT_DAT 12
#define SQLT_VBI 15
#define SQLT_BFLOAT 21
#define SQLT_BDOUBLE 22
#define SQLT_BIN 23
#define SQLT_LBI 24
#define SQLT_UIN 68
#define SQLT_LVC 94
#define SQLT_LVB 95
#define SQLT_AFC 96
#define SQLT_AVC 97
#define SQLT_IBFLOAT 100
#define SQLT_IBDOUBLE 101
#define SQLT_CUR 102
#define SQLT_RDD 104
#define SQLT_CLOB 112
#define SQLT_BLOB 113
#define SQLT_BFILEE 114
#define SQLT_RSET 116
#define SQLT_TIMESTAMP 187
#define SQLT_TIMESTAMP_TZ 188
#define SQLT_INTERVAL_YM 189
#define SQLT_INTERVAL_DS 190
#define SQLT_TIMESTAMP_LTZ 232

typedef sb4 (*OCICallbackDefine)(void *octxp, OCIDefine *defnp, ub4 iter,
                                 void **bufpp, ub4 **alenp, ub1 *piecep,
                                 void **indp, ub2 **rcodep);

/* prototypes of the entry points this system calls */
sword OCIEnvCreate(OCIEnv **envp, ub4 mode, void *ctxp,
                   void *(*malocfp)(void *ctxp, size_t size),
                   void *(*ralocfp)(void *ctxp, void *memptr, size_t newsize),
                   void (*mfreefp)(void *ctxp, void *memptr),
                   size_t xtramem_sz, void **usrmempp);
sword OCIInitialize(ub4 mode, void *ctxp,
                    void *(*malocfp)(void *ctxp, size_t size),
                    void *(*ralocfp)(void *ctxp, void *memptr, size_t newsize),
                    void (*mfreefp)(void *ctxp, void *memptr));
sword OCIEnvInit(OCIEnv **envp, ub4 mode, size_t xtramem_sz, void **usrmempp);
sword OCIHandleAlloc(const void *parenth, void **hndlpp, const ub4 type,
                     const size_t xtramem_sz, void **usrmempp);
sword OCIHandleFree(void *hndlp, const ub4 type);
sword OCIDescriptorAlloc(const void *parenth, void **descpp, const ub4 type,
                         const size_t xtramem_sz, void **usrmempp);
sword OCIDescriptorFree(void *descp, const ub4 type);
sword OCIServerAttach(OCIServer *srvhp, OCIError *errhp, const OraText *dblink,
                      sb4 dblink_len, ub4 mode);
sword OCIServerDetach(OCIServer *srvhp, OCIError *errhp, ub4 mode);
sword OCISessionBegin(OCISvcCtx *svchp, OCIError *errhp, OCISession *usrhp,
                      ub4 credt, ub4 mode);
sword OCISessionEnd(OCISvcCtx *svchp, OCIError *errhp, OCISession *usrhp, ub4 mode);
sword OCIAttrSet(void *trgthndlp, ub4 trghndltyp, void *attributep, ub4 size,
                 ub4 attrtype, OCIError *errhp);
sword OCIAttrGet(const void *trgthndlp, ub4 trghndltyp, void *attributep,
                 ub4 *sizep, ub4 attrtype, OCIError *errhp);
sword OCIServerVersion(void *hndlp, OCIError *errhp, OraText *bufp, ub4 bufsz,
                       ub1 hndltype);
sword OCIServerRelease(void *hndlp, OCIError *errhp, OraText *bufp, ub4 bufsz,
                       ub1 hndltype, ub4 *version);
sword OCIStmtPrepare(OCIStmt *stmtp, OCIError *errhp, const OraText *stmt,
                     ub4 stmt_len, ub4 language, ub4 mode);
sword OCIStmtPrepare2(OCISvcCtx *svchp, OCIStmt **stmtp, OCIError *errhp,
                      const OraText *stmt, ub4 stmt_len, const OraText *key,
                      ub4 key_len, ub4 language, ub4 mode);
sword OCIStmtRelease(OCIStmt *stmtp, OCIError *errhp, const OraText *key,
                     ub4 key_len, ub4 mode);
sword OCIStmtExecute(OCISvcCtx *svchp, OCIStmt *stmtp, OCIError *errhp, ub4 iters,
                     ub4 rowoff, const OCISnapshot *snap_in, OCISnapshot *snap_out,
                     ub4 mode);
sword OCIBindByName(OCIStmt *stmtp, OCIBind **bindp, OCIError *errhp,
                    const OraText *placeholder, sb4 placeh_len, void *valuep,
                    sb4 value_sz, ub2 dty, void *indp, ub2 *alenp, ub2 *rcodep,
                    ub4 maxarr_len, ub4 *curelep, ub4 mode);
sword OCIBindByPos(OCIStmt *stmtp, OCIBind **bindp, OCIError *errhp, ub4 position,
                   void *valuep, sb4 value_sz, ub2 dty, void *indp, ub2 *alenp,
                   ub2 *rcodep, ub4 maxarr_len, ub4 *curelep, ub4 mode);
sword OCIDefineByPos(OCIStmt *stmtp, OCIDefine **defnp, OCIError *errhp,
                     ub4 position, void *valuep, sb4 value_sz, ub2 dty,
                     void *indp, ub2 *rlenp, ub2 *rcodep, ub4 mode);
sword OCIBindArrayOfStruct(OCIBind *bindp, OCIError *errhp, ub4 pvskip,
                           ub4 indskip, ub4 alskip, ub4 rcskip);
sword OCIDefineArrayOfStruct(OCIDefine *defnp, OCIError *errhp, ub4 pvskip,
                             ub4 indskip, ub4 rlskip, ub4 rcskip);
sword OCIDefineDynamic(OCIDefine *defnp, OCIError *errhp, void *octxp,
                       OCICallbackDefine ocbfp);
sword OCIStmtFetch(OCIStmt *stmtp, OCIError *errhp, ub4 nrows, ub2 orientation,
                   ub4 mode);
sword OCIStmtFetch2(OCIStmt *stmtp, OCIError *errhp, ub4 nrows, ub2 orientation,
                    sb4 scrollOffset, ub4 mode);
sword OCIStmtGetPieceInfo(OCIStmt *stmtp, OCIError *errhp, void **hndlpp,
                          ub4 *typep, ub1 *in_outp, ub4 *iterp, ub4 *idxp,
                          ub1 *piecep);
sword OCIStmtSetPieceInfo(void *hndlp, ub4 type, OCIError *errhp, const void *bufp,
                          ub4 *alenp, ub1 piece, const void *indp, ub2 *rcodep);
sword OCIParamGet(const void *hndlp, ub4 htype, OCIError *errhp, void **parmdpp,
                  ub4 pos);
sword OCIErrorGet(void *hndlp, ub4 recordno, OraText *sqlstate, sb4 *errcodep,
                  OraText *bufp, ub4 bufsiz, ub4 type);
sword OCIBreak(void *hndlp, OCIError *errhp);
sword OCIReset(void *hndlp, OCIError *errhp);
sword OCITransCommit(OCISvcCtx *svchp, OCIError *errhp, ub4 flags);
sword OCITransRollback(OCISvcCtx *svchp, OCIError *errhp, ub4 flags);
sword OCILogon(OCIEnv *envhp, OCIError *errhp, OCISvcCtx **svchp,
               const OraText *username, ub4 uname_len, const OraText *password,
               ub4 passwd_len, const OraText *dbname, ub4 dbname_len);
sword OCILogoff(OCISvcCtx *svchp, OCIError *errhp);
sword OCIPasswordChange(OCISvcCtx *svchp, OCIError *errhp, const OraText *user_name,
                        ub4 usernm_len, const OraText *opasswd, ub4 opasswd_len,
                        const OraText *npasswd, ub4 npasswd_len, ub4 mode);
sword OCIPing(OCISvcCtx *svchp, OCIError *errhp, ub4 mode);
sword OCIDescribeAny(OCISvcCtx *svchp, OCIError *errhp, void *objptr,
                     ub4 objnm_len, ub1 objptr_typ, ub1 info_level, ub1 objtyp,
                     OCIDescribe *dschp);
sword OCISvcCtxToLda(OCISvcCtx *svchp, OCIError *errhp, void *ldap);
sword OCILdaToSvcCtx(OCISvcCtx **svchpp, OCIError *errhp, void *ldap);
sword OCITerminate(ub4 mode);

#ifdef __cplusplus
}
#endif

#endif
