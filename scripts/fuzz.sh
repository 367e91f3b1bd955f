#!/usr/bin/env bash
# fuzz.sh [SECONDS]: builds the schema document reader's fuzzer with clang in
# build-fuzz, seeds it with documents in the exporter's layout and edge cases,
# and runs it. Exits non-zero on a crash, a leak, a timeout or a difference
# from the reference reading.
set -euo pipefail
seconds=${1:-60}
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build-fuzz"

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
  -DSKELVANE_FUZZ=ON -DSKELVANE_TESTS=OFF -DSKELVANE_BENCH=OFF >/dev/null
cmake --build "$build" --target sdb_reader_fuzz -j "$(nproc)"

seeds="$build/fuzz/sdb-seeds"
corpus="$build/fuzz/sdb-corpus"
artifacts="$build/fuzz/sdb-artifacts"
mkdir -p "$seeds" "$corpus" "$artifacts"

seed() { printf "$2" > "$seeds/$1"; }
crlf() { sed 's/$/\r/' > "$seeds/$1"; }

crlf writer-layout <<'DOC'
{shema
	{name scott}
}
{tables 
	{t 
		{name EMP}
		{comments  staff, with a leading blank}
		{fields
			{f 
				{name ID}
				{type NUMBER(10)}
				{null N}
				{default 0}
				{comments key}
			}
			{f 
				{name NOTE}
				{type VARCHAR2(100 BYTE)}
				{null Y}
			}
		}
		{indexes
			{i 
				{name EMP_PK}
				{uniqueness UNIQUE}
				{columns ID}
			}
		}
		{constraints
			{i 
				{name EMP_PK}
				{type P}
				{index EMP_PK}
				{expr }
				{ref }
				{status ENABLED}
			}
		}
	}
}
{sequences 
	{s 
		{name EMP_SEQ}
		{increment_by 1}
		{last_number 21}
		{min_value 1}
		{max_value 1E27}
		{cycle N}
		{order N}
		{cache 20}
	}
}
{triggers 
	{t 
		{name EMP_BI}
		{trigger_body
EMP_BI before insert on EMP
for each row
begin
  :new.ID := 1;
end;
		}
	}
}
{functions 
	{f 
		{name F1}
		{text
function F1 return number is
begin
  return 1;
end;

		}
	}
}
{procedures 
}
{views 
	{v 
		{name EMP_V}
		{text
select ID
  from EMP
		}
		{fields
			{f 
				{name ID}
			}
		}
	}
}
{synonyms 
	{s 
		{object EMP}
		{name STAFF}
		{grantee }
	}
}
{privileges 
	{p 
		{object EMP}
		{priv SELECT,INSERT}
		{grantee PUBLIC}
	}
}
{db_links 
	{d 
		{db_link REMOTE}
		{username SCOTT}
		{password }
		{host XE}
	}
}
DOC
seed bare-brace '{\nname value\n}\n{\n {x 1}\n}\n{'
seed unmatched-close '{a}\n// note\n\n{b 1}}\n{c}\n'
seed comments-and-blanks '{v\n// gone\n\n\ttext\r\n  //kept\n}\r\n'
seed carriage-returns '{na\rme va\rlue}\r\r\n\r{b\r}\r'
seed ctrl-z '{a 1}\r\n\032{b 2}\r\n'
seed nested-values '{p head {c inner} tail\nmore\n}\n stray {q}{ nameless}'
seed case-and-equals '{Tables {t {name A=B}{NAME second}{fields {f {name x}}}}}'

dict="$build/fuzz/sdb.dict"
cat > "$dict" <<'DICT'
"{"
"}"
"\x0d\x0a"
"\x0a"
"\x0d"
"\x09"
"//"
"\x1a"
"{tables "
"{t "
"{fields"
"{f "
"{name "
"{shema"
DICT

"$build/bin/sdb_reader_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -dict="$dict" -artifact_prefix="$artifacts/" -print_final_stats=1 "$corpus" "$seeds"
