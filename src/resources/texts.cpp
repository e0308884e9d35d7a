// Compiled with the execution character set CP949: the Korean literals below become the
// bytes the host expects, while the source stays readable.
#include "resources/texts.h"

namespace resources {

const char kMessagePrefix[] = "[DELTA VFD-A] ";
const char kDriverName[] = "DELTA VFD-A";
const char kStationNumberMark[] = "국";

namespace {

const char* const kMessages[kMessageCount] = {
    "",
    "통신시작",
    "통신종료",
    "통신포트 초기화 완료",
    "통신포트[%s]를 열 수 없습니다.",
    "지정된 파일[%s]을 열 수 없습니다.",
    "태그[%s]의 I/O 어드레스[%s]가 잘못 설정되었습니다.",
    "태그[%s]에 설정된 I/O 디바이스[%s]가 통신드라이버에 등록되지 않았습니다.",
    "스테이션[%s]에 데이터를 송신할 수 없습니다.",
    "스테이션[%s]으로부터 데이터를 수신할 수 없습니다.",
    "스테이션[%s]과의 통신 중 수신 Time Out이 발생하였습니다.",
    "스테이션[%s]로부터 수신한 데이터가 지정된 형식과 일치하지 않습니다.",
    "스테이션[%s]로부터 에러코드를 수신받았습니다.",
    "스테이션[%s]로부터 수신받은 데이터의 Check Sum 코드가 일치하지 않습니다.",
    "스테이션[%s]과 통신할 수 없습니다.",
    "스테이션[%s]과의 통신이 정상적으로 복구되었습니다.",
    "스테이션[%s]의 국번 코드가 일치하지 않습니다.",
    "지정된 태그[%s]의 어드레스는 쓰기 가능한 영역이 아닙니다.",
};

} // namespace

const char* MessageFormat(int number) {
    if (number < 0 || number >= kMessageCount) {
        return nullptr;
    }
    return kMessages[number];
}

} // namespace resources
