/* The Oracle 7 call interface: the login and cursor data areas and the
   classic prototypes, as Oracle's public headers lay them out. Shared by the
   access layer and the emulator, like oracle/oci.h. */
#ifndef SKELVANE_ORACLE_OCI7_H
#define SKELVANE_ORACLE_OCI7_H

#include "oracle/oci.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A real client writes the whole area: 88 bytes on 64-bit platforms, 64 on
   32-bit ones; the host data area is 512 and 256 bytes. */
#if defined(__LP64__) || defined(_WIN64)
#define CDA_SIZE 88
#define HDA_SIZE 512
#else
#define CDA_SIZE 64
#define HDA_SIZE 256
#endif

struct cda_head {
  sb2 v2_rc;
  ub2 ft;   /* SQL function code */
  ub4 rpc;  /* rows processed */
  ub2 peo;  /* parse error offset */
  ub1 fc;   /* OCI function code */
  ub1 rcs1;
  ub2 rc;   /* return code */
  ub1 wrn;
  ub1 rcs2;
  sword rcs3;
  struct {
    struct {
      ub4 rcs4;
      ub2 rcs5;
      ub1 rcs6;
    } rd;
    ub4 rcs7;
    ub2 rcs8;
  } rid;
  sword ose;
  ub1 chk;
  void *rcsp;
};

struct cda_def {
  sb2 v2_rc;
  ub2 ft;
  ub4 rpc;
  ub2 peo;
  ub1 fc;
  ub1 rcs1;
  ub2 rc;
  ub1 wrn;
  ub1 rcs2;
  sword rcs3;
  struct {
    struct {
      ub4 rcs4;
      ub2 rcs5;
      ub1 rcs6;
    } rd;
    ub4 rcs7;
    ub2 rcs8;
  } rid;
  sword ose;
  ub1 chk;
  void *rcsp;
  ub1 rcs9[CDA_SIZE - sizeof(struct cda_head)];
};
typedef struct cda_def Cda_Def;
typedef struct cda_def Lda_Def;

#define OCI_EV_DEF 0
#define OCI_EV_TSF 1
#define OCI_LM_DEF 0
#define OCI_LM_NBL 1

/* oparse language flags */
#define OCI7_V6_BEHAVIOUR 0
#define OCI7_NATIVE_BEHAVIOUR 1
#define OCI7_V7_BEHAVIOUR 2

sword opinit(ub4 mode);
sword olog(Lda_Def *lda, ub1 *hda, OraText *uid, sword uidl, OraText *pswd, sword pswdl,
           OraText *conn, sword connl, ub4 mode);
sword orlon(Lda_Def *lda, ub1 *hda, OraText *uid, sword uidl, OraText *pswd, sword pswdl,
            sword audit);
sword ologof(Lda_Def *lda);
sword oerhms(Lda_Def *lda, sb2 rcode, OraText *buf, sword bufsiz);
sword oopen(Cda_Def *cursor, Lda_Def *lda, OraText *dbn, sword dbnl, sword arsize,
            OraText *uid, sword uidl);
sword oparse(Cda_Def *cursor, OraText *sqlstm, sb4 sqllen, sword defflg, ub4 lngflg);
sword odescr(Cda_Def *cursor, sword pos, sb4 *dbsize, sb2 *dbtype, sb1 *cbuf, sb4 *cbufl,
             sb4 *dsize, sb2 *prec, sb2 *scale, sb2 *nullok);
sword odefin(Cda_Def *cursor, sword pos, ub1 *buf, sword bufl, sword ftype, sword scale,
             sb2 *indp, OraText *fmt, sword fmtl, sword fmtt, ub2 *rlen, ub2 *rcode);
sword obndra(Cda_Def *cursor, OraText *sqlvar, sword sqlvl, ub1 *progv, sword progvl,
             sword ftype, sword scale, sb2 *indp, ub2 *alen, ub2 *arcode, ub4 maxsiz,
             ub4 *cursiz, OraText *fmt, sword fmtl, sword fmtt);
sword oexec(Cda_Def *cursor);
sword oexn(Cda_Def *cursor, sword iters, sword rowoff);
sword oexfet(Cda_Def *cursor, ub4 nrows, sword cancel, sword exact);
sword ofen(Cda_Def *cursor, sword nrows);
sword oflng(Cda_Def *cursor, sword pos, ub1 *buf, sb4 bufl, sword dtype, ub4 *retl,
            sb4 offset);
sword oclose(Cda_Def *cursor);
sword ocom(Lda_Def *lda);
sword orol(Lda_Def *lda);
sword ocon(Lda_Def *lda);
sword ocof(Lda_Def *lda);
sword obreak(Lda_Def *lda);

#ifdef __cplusplus
}
#endif

/* X(name) once per Oracle 7 entry point the access layer calls. */
#define SKELVANE_OCI7_ENTRY_POINTS(X)                                           \
  X(opinit) X(olog) X(orlon) X(ologof) X(oerhms) X(oopen) X(oparse) X(odescr)   \
  X(odefin) X(obndra) X(oexn) X(oexfet) X(ofen) X(oflng) X(oclose) X(orol)

#endif
